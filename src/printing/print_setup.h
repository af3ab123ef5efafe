// PrinterSE: the print dialog, pre-filled from the current printer; on confirmation the
// chosen printer becomes current with the chosen settings and the listing is printed.
#pragma once

#include <cstdint>

namespace tavi {

class TaviColorText;

inline constexpr int32_t kStyleInformationOk = 64;

// Never fails: missing printer information (484) shows m_strPrintErr titled
// m_strScriptEditor; any other failure, and a cancelled dialog, end it silently.
void PrinterSE(TaviColorText& control, int16_t printFlags);

}  // namespace tavi
