#include "toolkit/vstguibase.h"

namespace VSTGUI {

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";
const char kMsgNewFocusView[] = "kMsgNewFocusView";
const char kMsgOldFocusView[] = "kMsgOldFocusView";
const char kMsgLooseFocus[] = "LooseFocus";

}  // namespace VSTGUI
