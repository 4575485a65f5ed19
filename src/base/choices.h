#pragma once
// Choices that cross modules. Their numbers are what the settings file holds
// and what the same-name dialog returns; elsewhere they travel by name.
#include <optional>

namespace kinaru {

// What a compression does when the archive exists (SAMEFILE).
enum class SameNamePolicy { Replace = 0, Add = 1, Ask = 2 };

// The same-name dialog's result.
enum class SameNameAnswer { Rename = 2, Abandon = 3, DeleteAndContinue = 4, Continue = 5 };

// The packing method (COMPVER; the index of the settings dialog's list).
enum class Method { LH5 = 0, LH6 = 1, LH7 = 2 };

// The method as the compression dialog's caption names it, and its number
// in the archiver's -jm switch.
inline const char* methodName(Method method) {
    switch (method) {
        case Method::LH6: return "LH6";
        case Method::LH7: return "LH7";
        default: return "LH5";
    }
}
inline int methodSwitchNumber(Method method) { return static_cast<int>(method) + 2; }

// The settings file's numbers; anything else is no choice at all.
inline std::optional<SameNamePolicy> sameNamePolicyFrom(int number) {
    if (number < 0 || number > 2) return std::nullopt;
    return static_cast<SameNamePolicy>(number);
}
inline std::optional<Method> methodFrom(int number) {
    if (number < 0 || number > 2) return std::nullopt;
    return static_cast<Method>(number);
}

}  // namespace kinaru
