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

}  // namespace

void ErrorBox(const char* format, ...) {
    char text[kMessageLength];
    char english[kEnglishLength];
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    std::vsnprintf(text, sizeof text, format, args);
    const bool translated = FormatEnglish(english, sizeof english, format, text, again);
    va_end(again);
    va_end(args);
    // Input queries stay quiet while the box is up.
    Frame.messageBoxShowing = 1;
    PlatformErrorBox(kBoxTitle, text, EnglishFor(kBoxTitle), translated ? english : nullptr);
    Frame.messageBoxShowing = 0;
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
