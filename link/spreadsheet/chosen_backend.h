// The backend this build drives, chosen by name with the build option
// WORDPOUR_SPREADSHEET ("calc" or "excel").
#pragma once

#include "link/spreadsheet/automation.h"

#if defined(WORDPOUR_SPREADSHEET_EXCEL)
#include "link/spreadsheet/excel/excel_backend.h"
#elif defined(WORDPOUR_SPREADSHEET_CALC)
#include "link/spreadsheet/calc/calc_backend.h"
#else
#error "No spreadsheet backend chosen: link wordpour_spreadsheet_chosen"
#endif

namespace wordpour::link::spreadsheet {

inline Backend chosenBackend() {
#if defined(WORDPOUR_SPREADSHEET_EXCEL)
    return excel::backend();
#else
    return calc::backend();
#endif
}

}  // namespace wordpour::link::spreadsheet
