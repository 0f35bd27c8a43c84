#include "medium.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "display.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace {

// Up to `limit` bytes of a file opened for reading, which it then closes;
// false when there is no file.
bool ReadUpTo(FILE* file, size_t limit, std::string* bytes)
{
    if (file == nullptr)
        return false;
    bytes->clear();
    char chunk[65536];
    size_t got;
    while (bytes->size() < limit &&
           (got = std::fread(chunk, 1, std::min(sizeof chunk, limit - bytes->size()), file)) > 0)
        bytes->append(chunk, got);
    std::fclose(file);
    return true;
}

#ifdef _WIN32

std::wstring Wide(const std::string& text, unsigned codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

class WindowsMedium : public Medium {
public:
    explicit WindowsMedium(const std::string& folder) : folder_(Wide(folder, CP_UTF8)) {}

    FileState Probe(const std::string& relative) override
    {
        FileState state;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExW(Path(relative).c_str(), GetFileExInfoStandard, &data))
            return state;
        state.found = true;
        state.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        state.size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        return state;
    }

    bool Read(const std::string& relative, size_t limit, std::string* bytes) override
    {
        return ReadUpTo(_wfopen(Path(relative).c_str(), L"rb"), limit, bytes);
    }

private:
    std::wstring Path(const std::string& relative) const
    {
        std::wstring path = folder_;
        if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
            path += L'\\';
        return path + Wide(relative, 932);
    }

    std::wstring folder_;
};

#else

bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The parts of a relative name, split at "\" and "/" that are characters of
// their own (the second byte of a double-byte character is no separator).
std::vector<std::string> SplitName(const std::string& name)
{
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(c) && i + 1 < name.size()) {
            parts.back() += name.substr(i, 2);
            ++i;
        } else if (c == '\\' || c == '/') {
            parts.emplace_back();
        } else {
            parts.back() += name[i];
        }
    }
    return parts;
}

std::string FoldCase(std::string text)
{
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return text;
}

std::string DropTrailingBlanksAndDots(std::string name)
{
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
    return name;
}

class LinuxMedium : public Medium {
public:
    explicit LinuxMedium(const std::string& folder) : folder_(folder.empty() ? "." : folder) {}

    FileState Probe(const std::string& relative) override
    {
        FileState state;
        std::string path;
        if (!Resolve(relative, &path, &state.match))
            return state;
        struct stat info;
        if (stat(path.c_str(), &info) != 0)
            return state;
        state.found = true;
        state.folder = S_ISDIR(info.st_mode);
        state.size = static_cast<unsigned long long>(info.st_size);
        return state;
    }

    bool Read(const std::string& relative, size_t limit, std::string* bytes) override
    {
        std::string path;
        int match;
        if (!Resolve(relative, &path, &match))
            return false;
        return ReadUpTo(std::fopen(path.c_str(), "rb"), limit, bytes);
    }

private:
    // Finds the path on disk of each part in turn. *match is the loosest
    // match any part needed.
    bool Resolve(const std::string& relative, std::string* path, int* match) const
    {
        *path = folder_;
        *match = kMatchExact;
        for (const std::string& raw : SplitName(relative)) {
            std::string part = DropTrailingBlanksAndDots(raw);
            if (part.empty())
                return false;
            if (part == "." || part == "..") {
                *path += "/" + part;
                continue;
            }
            std::string found;
            int how;
            if (!FindPart(*path, part, &found, &how))
                return false;
            *path += "/" + found;
            *match = std::max(*match, how);
        }
        return true;
    }

    static bool FindPart(const std::string& folder, const std::string& part, std::string* found, int* how)
    {
        std::string utf8 = SjisToUtf8(part);
        struct stat info;
        if (stat((folder + "/" + part).c_str(), &info) == 0) {
            *found = part;
            *how = kMatchExact;
            return true;
        }
        if (stat((folder + "/" + utf8).c_str(), &info) == 0) {
            *found = utf8;
            *how = kMatchUtf8Name;
            return true;
        }
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr)
            return false;
        std::string foldedRaw = FoldCase(part);
        std::string foldedUtf8 = FoldCase(utf8);
        bool ok = false;
        while (dirent* entry = readdir(dir)) {
            std::string name = DropTrailingBlanksAndDots(entry->d_name);
            std::string folded = FoldCase(name);
            if (folded == foldedRaw || folded == foldedUtf8) {
                *found = entry->d_name;
                *how = folded == foldedRaw ? kMatchCase : kMatchUtf8Name;
                ok = true;
                break;
            }
        }
        closedir(dir);
        return ok;
    }

    std::string folder_;
};

#endif

}  // namespace

std::unique_ptr<Medium> OpenMediumFolder(const std::string& folder)
{
#ifdef _WIN32
    return std::unique_ptr<Medium>(new WindowsMedium(folder.empty() ? "." : folder));
#else
    return std::unique_ptr<Medium>(new LinuxMedium(folder));
#endif
}
