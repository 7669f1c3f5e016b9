#pragma once

#include "files/sheettable.h"

class QTableWidget;

// What a table widget shows, as the spreadsheet engines write it: each
// header item's and item's text, and a null text where the widget has no
// item (an item without any text gives an empty text, not a null one).
SheetTable sheetTableOf(const QTableWidget &table);
