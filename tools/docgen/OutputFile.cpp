#include "tools/docgen/OutputFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace DocGen {

bool WriteIfChanged(const std::string& path, std::string_view content)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            if (old == content)
                return true;
        }
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

}  // namespace DocGen
