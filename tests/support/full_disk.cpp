#include "full_disk.h"

#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

namespace lagrull::test {

FullDisk::FullDisk() {
    if (geteuid() != 0) {
        unavailable_ = "en full disk krever root (tmpfs monteres)";
        return;
    }
    if (mount("tmpfs", mount_.path().c_str(), "tmpfs", 0, "size=64k") != 0) {
        unavailable_ = std::string("tmpfs kan ikke monteres: ") + std::strerror(errno);
        return;
    }
    mounted_ = true;
}

FullDisk::~FullDisk() {
    if (mounted_) umount(mount_.path().c_str());
}

void FullDisk::fill() {
    std::ofstream filler(mount_.path() / "fyll", std::ios::binary | std::ios::app);
    const std::string block(1024, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
           filler.flush()) {
    }
}

std::vector<std::string> filesNamed(const std::filesystem::path& directory,
                                    const std::string& stem) {
    std::vector<std::string> out;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(directory, ec), end; !ec && it != end;
         it.increment(ec))
        if (it->path().filename().string().rfind(stem, 0) == 0)
            out.push_back(it->path().filename().string());
    return out;
}

}  // namespace lagrull::test
