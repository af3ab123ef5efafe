// The keyword vocabulary of the call-routing script language and the small tables set up
// beside it: parameter hints and token delimiters.
#pragma once

#include <array>
#include <span>

#include "shell/text.h"

namespace tavi {

class KeywordListBox;
struct ModuleState;

// The 116 entries in load order; "WITH PRIORITY" appears twice.
std::span<const TextView> keywordsInLoadOrder();

// The three hint texts of list positions 0, 1 and 2; every other position has none.
inline constexpr std::array<TextView, 3> kParamHintTexts = {
    u"tham so 1,tham so 2",
    u"tham so 1,tham so 2,tham so 3",
    u"tham so 1,tham so 2,tham so 3,tham so 4",
};

// How far the parameter hint looks back from the caret for its keyword.
inline constexpr int16_t kHintLookBack = 8;

// Builds the token delimiters "(", ")" and "/*" afresh.
void initDelimiters(ModuleState& module);

// Loads the vocabulary into the completion list and sets up the hint tables.
void loadKeywords(ModuleState& module, KeywordListBox& list);

}  // namespace tavi
