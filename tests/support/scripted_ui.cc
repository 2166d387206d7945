#include "support/scripted_ui.h"

namespace zc::platform {

Answer ScriptedUi::Show(const MessageBox& box) {
  shown.push_back(box);
  if (script_.empty()) throw UnscriptedMessageBox{box};
  Answer answer = script_.front();
  script_.pop_front();
  return answer;
}

void ScriptedUi::EndProgram(int code) {
  exit_code = code;
  throw ProgramEnded{code};
}

}  // namespace zc::platform
