// Reads CSV text back with libcsv, a real CSV parser, in strict mode.
#pragma once

#include <string>
#include <vector>

using CsvRecord = std::vector<std::string>;

// The records of text; a parse error fails the calling test.
std::vector<CsvRecord> ParseCsv(const std::string& text);

// The whole file, bytes as they are (empty when it does not exist).
std::string ReadWholeFile(const std::string& path);
