// The program's resources and fixed ids: the main menu, the start and About
// dialogs, the crawl timer, and the quit question's texts.
#pragma once

#include "win_types.h"

// Menu ID_MENU_MAIN and its commands.
constexpr WORD ID_MENU_MAIN = 109;
constexpr WORD ID_MENU_RESET = 32775;
constexpr WORD ID_MENU_START = 32773;
constexpr WORD ID_MENU_EXIT = 105;
constexpr WORD ID_MENU_ABOUT = 104;

// Dialogs and their controls.
constexpr WORD ID_DIALOG_START = 129;
constexpr WORD ID_DIALOG_ABOUT = 103;
constexpr int ID_EDIT_URL = 1000;

// The crawl timer: one tick, one chance of a crawl step.
constexpr UINT ID_TIMER_CRAWL = 1;
constexpr UINT kCrawlPeriodMs = 100;

// The program image: the tables above as resources of the instance.
extern const Module g_module;

// "終了してもよろしいですか" and "確認", code page 932.
extern const char kQuitQuestion[];
extern const char kQuitCaption[];
