// The page scanner written as a plain byte-by-byte walk, step for step as the
// algorithm reads. The fast scanner must give the same bytes; tests and the
// benchmark hold the two side by side on the same page bytes (a PageBuffer's
// Bytes(), kPageCapacity + 1 of them).
#pragma once

#include "engine/page_scanner.h"

torvesk::engine::Position OracleFindPattern(const char* page, const char* pattern, int length,
                                            int n, torvesk::engine::Position start);
void OracleExtractTitle(const char* page, char (&TITLE)[torvesk::engine::kTextCapacity]);
void OracleHarvestLinks(const char* page, torvesk::engine::HarvestedLinks& links);
