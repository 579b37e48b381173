// The one crawl state of the program.
#include "crawl_state.h"

CrawlState g_crawlState;
