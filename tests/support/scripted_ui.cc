#include "support/scripted_ui.h"

namespace zc::platform {

void ScriptedUi::Script(std::initializer_list<Answer> answers) {
  script_.insert(script_.end(), answers.begin(), answers.end());
}

Answer ScriptedUi::Show(const MessageBox& box) {
  shown.push_back(box);
  if (script_.empty()) throw UnscriptedMessageBox{box};
  Answer answer = script_.front();
  script_.pop_front();
  return answer == Answer::kNone ? box.default_button : answer;
}

void ScriptedUi::EndProgram(int code) {
  ended = true;
  exit_code = code;
  throw ProgramEnded{code};
}

}  // namespace zc::platform
