#include "language/vocabulary.h"

#include "shell/module_state.h"
#include "shell/widgets/floating.h"

namespace tavi {

namespace {

// Load order keeps related words together; the program attaches no meaning to the runs.
constexpr std::array<TextView, 116> kVocabulary = {
    u"CHANGE PRIORITY IN AGENT",
    u"CHANGE PRIORITY IN SKILLSET",
    u"DISCONNECT",
    u"GIVE BUSY",
    u"GIVE MUSIC",
    u"GIVE OVERFLOW",
    u"GIVE RAN",
    u"GIVE RINGBACK",
    u"GIVE SILENCE",
    u"QUEUE TO AGENT",
    u"QUEUE TO SKILLSET",
    u"REMOVE FROM AGENT",
    u"REMOVE FROM SKILLSET",
    u"ROUTE CALL",
    u"ASSIGN",
    u"EXECUTE",
    u"EXECUTE SCRIPT",
    u"IF",
    u"THEN",
    u"ELSE",
    u"END IF",
    u"QUIT",
    u"SECTION",
    u"WAIT",
    u"GIVE IVR",
    u"INTERRUPTIBLE",
    u"WITH PRIORITY",
    u"WITH TREATMENT",
    u"CHANGE PRIORITY IN NACD",
    u"CHANGE PRIORITY IN NETWORK SKILLSET",
    u"TO PRIORITY",
    u"QUEUE TO NACD",
    u"WITH PRIORITY",
    u"QUEUE TO NETWORK SKILLSET",
    u"QREMOVE FROM NACD",
    u"REMOVE FROM NETWORK SKILLSET",
    u"EVENT HANDLER",
    u"EVENT",
    u"END HANDLER",
    u"LOG",
    u"WHERE",
    u"EQUALS",
    u"VALUE",
    u"DEFAULT",
    u"END WHERE",
    u"GET RESPONSE",
    u"TIMER",
    u"SEND INFO",
    u"SEND REQUEST",
    u"COLLECT",
    u"DIGITS INTO",
    u"NO TYPE AHEAD",
    u"INTER DIGIT TIMER",
    u"WITH TERMINATING CHARACTER",
    u"GIVE CONTROLLED BROADCAST ANNOUNCEMENT",
    u"PLAY PROMPT",
    u"WITH LANGUAGE",
    u"CONTINUOUS",
    u"NUMBER",
    u"NUMBERBYDIGIT",
    u"VOICE SEGMENT",
    u"OPEN VOICE SESSION",
    u"END VOICE SESSION",
    u"AGE OF CALL",
    u"CALL DATA",
    u"CALL FORWARD",
    u"CALL FORWARD BUSY",
    u"CALL FORWARD DO NOT DISTURB",
    u"CALL FORWARD NO ANSWER",
    u"CDN",
    u"CLID",
    u"CONFERENCED",
    u"DIALED DN",
    u"DIRECT CALL",
    u"DNIS",
    u"INTERNATIONAL CALL",
    u"LOC",
    u"NETWORK CALL",
    u"NPA",
    u"NPANXX",
    u"NXX",
    u"ON HOLD",
    u"QUEUED",
    u"ROUTE NUMBER",
    u"TRANSFERRED",
    u"ANSWERED CALL COUNT",
    u"AVERAGE SPEED ANSWER",
    u"WITH CALL PRIORITY",
    u"EXPECTED WAIT TIME",
    u"IDLE AGENT",
    u"IDLE AGENT COUNT",
    u"LOGGED AGENT COUNT",
    u"LOGGED OUT AGENT",
    u"LONGEST IDLE AGENT",
    u"MOST LOGGED AGENTS",
    u"OLDEST CALL",
    u"OUT OF SERVICE",
    u"POSITION IN QUEUE",
    u"PRIORITY IN NETWORK QUEUE",
    u"PRIORITY IN QUEUE",
    u"QUEUED CALL COUNT",
    u"DATE",
    u"DAY OF MONTH",
    u"DAY OF WEEK",
    u"MONTH OF YEAR",
    u"TIME OF DAY",
    u"CALL RATE",
    u"TOTAL ACTIVE CALLS",
    u"BROADCAST ANNOUNCEMENT RESPONSE FAIL",
    u"CALL ABANDON",
    u"CALL ON HOLD",
    u"IVR RESPONSE FAIL",
    u"RAN RESPONSE FAIL",
    u"AND",
    u"NOT",
    u"OR",
};

}  // namespace

std::span<const TextView> keywordsInLoadOrder() { return kVocabulary; }

void initDelimiters(ModuleState& module) { module.m_strDelims = {u"(", u")", u"/*"}; }

void loadKeywords(ModuleState& module, KeywordListBox& list) {
  module.m_iHintLookBack = kHintLookBack;
  for (TextView keyword : kVocabulary) list.addItem(keyword);
  // One slot more than the list has items; the last one is never referred to.
  module.m_strParamHints.assign(static_cast<size_t>(list.listCount()) + 1, Text());
  for (size_t i = 0; i < kParamHintTexts.size() && i < module.m_strParamHints.size(); ++i)
    module.m_strParamHints[i] = Text(kParamHintTexts[i]);
  module.m_bListShown = false;
  module.m_iHintIndex = -1;
}

}  // namespace tavi
