// The questions a person answers (a message box, an edit box, the file
// and colour choosers, the account finder) and the commands that answer
// them.  While a question waits, the station takes commands for it only:
// its answer, or `show` and `wait`, which leave it waiting.
#include <algorithm>
#include <iterator>
#include <map>

#include "host/package/finder.h"
#include "station/station_impl.h"

namespace vx70 {

using events::Answer;
using events::Question;
using nlohmann::json;
using script::Command;
using script::ScriptError;

namespace {

struct QuestionKind {
  Question question;
  const char* name;     // as pendingQuestion() and the errors call it
  const char* event;    // the event that asks it
  const char* command;  // the command that answers it
};

constexpr QuestionKind kQuestionKinds[] = {
    {Question::Message, "message", "message", "answer"},
    {Question::EditBox, "editbox", "editbox", "editbox"},
    {Question::File, "file", "file", "file"},
    {Question::Colour, "colour", "colour", "colour"},
    {Question::Popup, "popup", "finder", "popup"},
};

const QuestionKind* answeredBy(const std::string& word) {
  for (const QuestionKind& k : kQuestionKinds)
    if (word == k.command) return &k;
  return nullptr;
}

// What a closing station answers: Cancel when the question offers it, else
// No when it offers more than one button, else OK.
Answer safeAnswer(const json& question) {
  Answer a;
  a.cancelled = true;
  json buttons = question.value("buttons", json::array());
  bool hasCancel = std::find(buttons.begin(), buttons.end(), "cancel") != buttons.end();
  a.button = hasCancel ? IDCANCEL : (buttons.size() > 1 ? IDNO : IDOK);
  return a;
}

Answer messageAnswer(const Command& c, const json& question, const std::string& value) {
  static const std::map<std::string, int> buttonIds{
      {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}, {"retry", 4}};
  json buttons = question.value("buttons", json::array());
  auto id = buttonIds.find(value);
  if (id == buttonIds.end() || std::find(buttons.begin(), buttons.end(), value) == buttons.end())
    throw ScriptError(c.line, "answer: the message has no button \"" + value + "\" (it has " +
                                  buttons.dump() + ")");
  Answer a;
  a.button = id->second;
  a.cancelled = value == "cancel";
  return a;
}

// The answer of a command that answers a question of this kind.
Answer answerOfKind(const Command& c, Question kind, const json& question) {
  expectArgs(c, 1, 1);
  Answer a;
  bool cancel = script::isWord(c, 1, "cancel");
  const std::string& value = c.tokens[1].text;
  switch (kind) {
    case Question::Message:
      return messageAnswer(c, question, value);
    case Question::Colour:
      if (cancel) break;
      a.colour = static_cast<COLORREF>(script::parseNumber(c, 1, "colour"));
      if (a.colour > 0xFFFFFF) throw ScriptError(c.line, "colour: not a 0xBBGGRR value");
      return a;
    default:
      if (cancel) break;
      if (kind == Question::Popup && !package::finderOffers(question, value))
        throw ScriptError(c.line, "popup: the finder does not offer the account \"" + value + "\"");
      // A file's path is the file system's; texts go to the module.
      a.text = kind == Question::File ? value : script::textArg(c, 1);
      return a;
  }
  a.cancelled = true;
  return a;
}

}  // namespace

const char* questionName(Question q) {
  for (const QuestionKind& k : kQuestionKinds)
    if (k.question == q) return k.name;
  return "question";
}

bool isAnswerCommand(const std::string& word) { return answeredBy(word) != nullptr; }

bool isQuestionEvent(const std::string& kind) {
  return std::any_of(std::begin(kQuestionKinds), std::end(kQuestionKinds),
                     [&](const QuestionKind& k) { return kind == k.event; });
}

Answer Station::Impl::ask(Question kind, const json& question) {
  ++questionsAsked;
  emit(question);
  setPending(kind);
  for (;;) {
    Job* job = nextJob();
    if (!job) {
      setPending(std::nullopt);
      return safeAnswer(question);
    }
    try {
      if (std::optional<Answer> a = answerOf(job->command, kind, question)) {
        setPending(std::nullopt);
        return *a;
      }
    } catch (const std::exception& e) {
      fail(*job, e.what());
    }
  }
}

void Station::Impl::setPending(std::optional<Question> q) {
  std::lock_guard lock(mutex);
  pending = q;
}

// The answer that a command gives to the waiting question; nullopt for
// commands that may run while a question waits (show, wait).
std::optional<Answer> Station::Impl::answerOf(const Command& c, Question kind,
                                              const json& question) {
  const std::string& w = c.word();
  const QuestionKind* answered = answeredBy(w);
  if (!answered) {
    if (w == "show" || w == "wait") {
      run(c);
      return std::nullopt;
    }
    throw ScriptError(c.line, std::string("a ") + questionName(kind) + " waits for its answer; \"" +
                                  w + "\" cannot run now");
  }
  if (answered->question != kind)
    throw ScriptError(c.line,
                      std::string("a ") + questionName(kind) + " waits, not a " + answered->name);
  return answerOfKind(c, kind, question);
}

}  // namespace vx70
