#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>

namespace tarnwick::testing {

class TTempFolder {
public:
    TTempFolder() {
        std::random_device random;
        FPath = std::filesystem::temp_directory_path() /
                ("tarnwick-debug-" + std::to_string(random()) + "-" + std::to_string(random()));
        std::filesystem::create_directories(FPath);
    }
    ~TTempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Path() const { return FPath; }

    // Empties the folder.
    void Clear() const {
        std::filesystem::remove_all(FPath);
        std::filesystem::create_directories(FPath);
    }

    std::filesystem::path Write(const std::string& name, std::string_view contents) const {
        const std::filesystem::path file = FPath / name;
        WriteFile(file, contents);
        return file;
    }

    static void WriteFile(const std::filesystem::path& file, std::string_view contents) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(contents.data(), static_cast<std::streamsize>(contents.size()));
    }

private:
    std::filesystem::path FPath;
};

} // namespace tarnwick::testing
