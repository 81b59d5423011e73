#pragma once
// Files for a test in the temporary folder, removed when the test ends.
#include <string>
#include <vector>

namespace lumora::test {

class TempFile {
public:
    // A fresh path "<temp>\lumora-test-<name>"; no file is made yet.
    explicit TempFile(const std::string& name);
    TempFile(const std::string& name, const std::vector<unsigned char>& bytes);
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::string& Path() const { return path_; }
    void Write(const std::vector<unsigned char>& bytes) const;

private:
    std::string path_;
};

}  // namespace lumora::test
