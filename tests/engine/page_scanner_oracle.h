// The page scanner written as a plain byte-by-byte walk, step for step as the
// algorithm reads. The fast scanner must give the same bytes; tests and the
// benchmark hold the two side by side on the same g_pageBuffer.
#pragma once

#include "page_scanner.h"

Position OracleFindPattern(const char* pattern, int length, int n, Position start);
void OracleExtractTitle(char (&TITLE)[kTextCapacity]);
void OracleHarvestLinks(HarvestedLinks& links);
