#include "base/errors.h"

namespace kinaru {

InOutError::InOutError(FileResult why) : KinaruError(textFor(why)), why_(why) {}

std::string InOutError::textFor(FileResult why) {
    switch (why.failure) {
        case FileFailure::MissingEntry: return "ﾌｧｲﾙが見つかりません";
        case FileFailure::MissingFolder: return "不正なﾌｧｲﾙ名です";
        case FileFailure::TooManyOpenFiles: return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
        case FileFailure::AccessDenied: return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
        default: return "I/O ｴﾗｰ (" + std::to_string(why.systemCode) + ")";
    }
}

WriteError::WriteError(const std::string& path) : KinaruError(path + " に書き込めません") {}

}  // namespace kinaru
