#include "frame/diagnostics.h"

#include "frame/frame.h"
#include "frame/messages.h"
#include "platform/platform.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kMessageLength = 256;
// English runs longer than the Japanese it stands beside.
constexpr int kEnglishLength = 512;
constexpr int kAdviceLength = 256;
constexpr const char* kBoxTitle = "メッセージ";
constexpr const char* kConfirmTitle = "確認";
constexpr int32_t kAnswerNo = 7;

// The English of a formatted message: the format's English with the same arguments. A bare
// "%s" passes a whole text along, whose own English is used.
bool FormatEnglish(char* out, size_t size, const char* format, const char* text, va_list args) {
    const bool passesText = std::strcmp(format, "%s") == 0;
    const char* english = EnglishFor(passesText ? text : format);
    if (!english) return false;
    if (passesText)
        std::snprintf(out, size, "%s", english);
    else
        std::vsnprintf(out, size, english, args);
    return true;
}

void ShowErrorBox(const char* advice, const char* format, va_list args) {
    char text[kMessageLength];
    char english[kEnglishLength];
    va_list again;
    va_copy(again, args);
    std::vsnprintf(text, sizeof text, format, args);
    const bool translated = FormatEnglish(english, sizeof english, format, text, again);
    va_end(again);
    char advised[kEnglishLength + kAdviceLength] = "";
    if (translated)
        std::snprintf(advised, sizeof advised, advice ? "%s %s" : "%s", english, advice);
    // Input queries stay quiet while the box is up.
    Frame.messageBoxShowing = 1;
    PlatformErrorBox(kBoxTitle, text, EnglishFor(kBoxTitle), translated ? advised : nullptr);
    Frame.messageBoxShowing = 0;
}

}  // namespace

void ErrorBox(const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowErrorBox(nullptr, format, args);
    va_end(args);
}

void ErrorBoxAdvised(PlatformTrouble trouble, const char* format, ...) {
    va_list args;
    va_start(args, format);
    ShowErrorBox(PlatformAdvice(trouble), format, args);
    va_end(args);
}

void DebugLine(const char* format, ...) {
    char text[kMessageLength];
    char english[kEnglishLength];
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    std::vsnprintf(text, sizeof text, format, args);
    const bool translated = FormatEnglish(english, sizeof english, format, text, again);
    va_end(again);
    va_end(args);
    PlatformDebugOutput(text, translated ? english : nullptr);
}

// The platform offers only an acknowledged box; the answer is No, the harmless one.
int32_t ConfirmBox(const char* text) {
    Frame.messageBoxShowing = 1;
    PlatformErrorBox(kConfirmTitle, text, EnglishFor(kConfirmTitle), EnglishFor(text));
    Frame.messageBoxShowing = 0;
    return kAnswerNo;
}
