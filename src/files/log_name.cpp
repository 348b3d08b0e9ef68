#include "files/log_name.h"

namespace quelm {

std::string DatedLogName(const std::tm& local) {
    char name[64];
    if (std::strftime(name, sizeof name, "quelm-%Y%m%d-%H%M%S.qm1", &local) == 0) {
        return "quelm.qm1";
    }
    return name;
}

std::filesystem::path NewLogPath(const std::filesystem::path& folder, std::time_t now) {
    std::tm local{};
    localtime_r(&now, &local);
    return folder / DatedLogName(local);
}

}  // namespace quelm
