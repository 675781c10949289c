#include "sim_script.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/keys.h"

namespace {

struct KeyWord {
    const char* name;
    int32_t virtualKey;
};

constexpr KeyWord kKeyWords[] = {
    {"UP", VkUp},       {"DOWN", VkDown},     {"LEFT", VkLeft},     {"RIGHT", VkRight},
    {"Z", 'Z'},         {"S", 'S'},           {"X", 'X'},           {"C", 'C'},
    {"W", 'W'},         {"E", 'E'},           {"Q", 'Q'},           {"R", 'R'},
    {"SHIFT", VkShift}, {"ESCAPE", VkEscape}, {"RETURN", VkReturn}, {"ALT", VkMenu},
};

constexpr KeyWord kJoyWords[] = {
    {"JOY_UP", JoyInputUp},          {"JOY_DOWN", JoyInputDown},
    {"JOY_LEFT", JoyInputLeft},      {"JOY_RIGHT", JoyInputRight},
    {"JOY_B1", JoyInputButton1},     {"JOY_B2", JoyInputButton1 + 1},
    {"JOY_B3", JoyInputButton1 + 2}, {"JOY_B4", JoyInputButton1 + 3},
    {"JOY_B5", JoyInputButton1 + 4}, {"JOY_B6", JoyInputButton1 + 5},
    {"JOY_B7", JoyInputButton1 + 6}, {"JOY_B8", JoyInputButton1 + 7},
};

constexpr size_t kEchoBytes = 24;  // of a bad word, in an error

// A word of the script as an error quotes it: a short prefix, control bytes escaped, so that
// a line of garbage cannot flood the terminal.
std::string Quote(const std::string& word) {
    std::string out = "\"";
    for (size_t i = 0; i < word.size() && i < kEchoBytes; ++i) {
        const auto c = static_cast<unsigned char>(word[i]);
        if (c < 0x20 || c >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    if (word.size() > kEchoBytes) out += "...";
    return out + "\"";
}

bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.size() > 18) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    const int64_t v = std::strtoll(text.c_str(), nullptr, 10);
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

// A key word: its code, and whether it names a joystick input.
bool ParseKey(const std::string& word, int32_t* code, bool* joystick) {
    for (const KeyWord& k : kKeyWords)
        if (word == k.name) {
            *code = k.virtualKey;
            *joystick = false;
            return true;
        }
    for (const KeyWord& k : kJoyWords)
        if (word == k.name) {
            *code = k.virtualKey;
            *joystick = true;
            return true;
        }
    int64_t vk = 0;
    if (word.size() > 2 && word.compare(0, 2, "VK") == 0 &&
        ParseNumber(word.substr(2), 0, 255, &vk)) {
        *code = static_cast<int32_t>(vk);
        *joystick = false;
        return true;
    }
    return false;
}

bool ParseLine(const std::vector<std::string>& words, SimEvent* event, bool* joystick,
               std::string* why) {
    *joystick = false;
    if (!ParseNumber(words[0], 0, INT32_MAX, &event->frame)) {
        *why = "frame number expected, not " + Quote(words[0]);
        return false;
    }
    if (words.size() == 2) {
        if (words[1] == "close")
            event->kind = SimClose;
        else if (words[1] == "deactivate")
            event->kind = SimDeactivate;
        else if (words[1] == "activate")
            event->kind = SimActivate;
        else if (words[1] == "lose")
            event->kind = SimLoseSurfaces;
        else {
            *why = "unknown event " + Quote(words[1]);
            return false;
        }
        event->code = 0;
        return true;
    }
    if (words.size() != 3) {
        *why =
            "expected \"F KEY down\", \"F KEY up\", \"F close\", \"F deactivate\", \"F "
            "activate\" or \"F lose\"";
        return false;
    }
    if (!ParseKey(words[1], &event->code, joystick)) {
        *why = "unknown key " + Quote(words[1]);
        return false;
    }
    const bool down = words[2] == "down";
    if (!down && words[2] != "up") {
        *why = "\"down\" or \"up\" expected, not " + Quote(words[2]);
        return false;
    }
    if (*joystick)
        event->kind = down ? SimJoyPress : SimJoyRelease;
    else
        event->kind = down ? SimKeyDown : SimKeyUp;
    return true;
}

std::string TooLong(const std::string& name, int lineNumber) {
    return name + ":" + std::to_string(lineNumber) + ": line longer than " +
           std::to_string(kMaxScriptLine) + " bytes";
}

// One line of the script, comment and all, into `script`.
bool TakeLine(std::string line, const std::string& name, int lineNumber, SimScript* script,
              std::string* error) {
    if (line.size() > kMaxScriptLine) {
        *error = TooLong(name, lineNumber);
        return false;
    }
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream words(line);
    std::vector<std::string> parts;
    for (std::string w; words >> w;) parts.push_back(w);
    if (parts.empty()) return true;
    SimEvent event{};
    bool joystick = false;
    std::string why;
    if (!ParseLine(parts, &event, &joystick, &why)) {
        *error = name + ":" + std::to_string(lineNumber) + ": " + why;
        return false;
    }
    script->usesJoystick = script->usesJoystick || joystick;
    script->events.push_back(event);
    return true;
}

void SortByFrame(SimScript* script) {
    std::stable_sort(script->events.begin(), script->events.end(),
                     [](const SimEvent& a, const SimEvent& b) { return a.frame < b.frame; });
}

}  // namespace

bool ParseScript(const std::string& text, SimScript* script, std::string* error,
                 const std::string& name) {
    size_t start = 0;
    for (int lineNumber = 1; start < text.size(); ++lineNumber) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (!TakeLine(text.substr(start, end - start), name, lineNumber, script, error))
            return false;
        start = end + 1;
    }
    SortByFrame(script);
    return true;
}

bool ReadScript(const std::string& path, SimScript* script, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the input script " + path;
        return false;
    }
    // Line by line, never holding more than one line over the limit: an endless line (a
    // device, a binary file) is refused as soon as it is too long.
    std::string line;
    int lineNumber = 1;
    for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
        if (c != '\n') {
            line += static_cast<char>(c);
            if (line.size() > kMaxScriptLine) {
                *error = TooLong(path, lineNumber);
                return false;
            }
            continue;
        }
        if (!TakeLine(line, path, lineNumber, script, error)) return false;
        line.clear();
        ++lineNumber;
    }
    if (in.bad()) {
        *error = "cannot read the input script " + path;
        return false;
    }
    if (!line.empty() && !TakeLine(line, path, lineNumber, script, error)) return false;
    SortByFrame(script);
    return true;
}
