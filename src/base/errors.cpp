#include "base/errors.h"

namespace kinaru {

InOutError::InOutError(int code) : KinaruError(textFor(code)), code_(code) {}

std::string InOutError::textFor(int code) {
    switch (code) {
        case 2: return "ﾌｧｲﾙが見つかりません";
        case 3: return "不正なﾌｧｲﾙ名です";
        case 4: return "ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます";
        case 5: return "ﾌｧｲﾙへのｱｸｾｽが拒否されました";
        default: return "I/O ｴﾗｰ (" + std::to_string(code) + ")";
    }
}

WriteError::WriteError(const std::string& path) : KinaruError(path + " に書き込めません") {}

}  // namespace kinaru
