#pragma once
// The generated pictures and sounds in a test's working folder: a link to the build's folder
// where the system makes one, a copy where it cannot (Windows without the right to link).
#include <filesystem>
#include <system_error>

inline void LinkAssetFolder(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    std::filesystem::create_directory_symlink(from, to, error);
    if (error) std::filesystem::copy(from, to, std::filesystem::copy_options::recursive);
}
