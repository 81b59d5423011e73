#include "MemoryFileSystem.h"

#include <algorithm>
#include <cstring>
#include <deque>

#include "base/Error.h"
#include "base/PathText.h"

namespace lumora::fuzz {

namespace {

// The names of a path, the drive first ("c:", lower case); "." and empty
// names are dropped, ".." is kept for the walk. Empty: no path at all.
std::vector<std::string> Names(const std::string& path)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !IsPathSeparator(path[i]))
            continue;
        const std::size_t length = i - start;
        if (length > 0 && !(length == 1 && path[start] == '.'))
            names.emplace_back(path, start, length);
        start = i + 1;
    }
    if (names.empty())
        return names;
    if (names[0].size() == 2 && names[0][1] == ':')
        names[0][0] = static_cast<char>(std::tolower(static_cast<unsigned char>(names[0][0])));
    else
        names.insert(names.begin(), {"c:", "cwd"});
    return names;
}

std::string Join(const std::vector<std::string>& names)
{
    std::string key;
    for (const std::string& name : names) {
        if (!key.empty())
            key += '/';
        key += name;
    }
    return key;
}

}  // namespace

// An open file. A stream opened for appending cannot read, one opened as an
// archive cannot write, as with the descriptors of the POSIX backend.
class MemoryFileSystem::Stream : public archive::FileStream {
public:
    Stream(MemoryFileSystem& files, std::shared_ptr<File> file, bool readable, bool writable)
        : files_(files), file_(std::move(file)), readable_(readable), writable_(writable)
    {
        ++files_.openStreams;
    }
    ~Stream() override { --files_.openStreams; }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override
    {
        if (!readable_) {
            failure_ = "Bad file descriptor";
            return 0;
        }
        const Bytes& bytes = file_->bytes;
        if (position_ >= bytes.size())
            return 0;
        const std::size_t n = std::min(count, bytes.size() - position_);
        std::memcpy(buffer, bytes.data() + position_, n);
        position_ += n;
        return n;
    }

    std::size_t Write(const void* buffer, std::size_t count) override
    {
        if (!writable_) {
            failure_ = "Bad file descriptor";
            return 0;
        }
        Bytes& bytes = file_->bytes;
        const std::size_t end = std::min({position_ + count, kMaxFileSize, bytes.size() + files_.space_});
        const std::size_t n = end > position_ ? end - position_ : 0;
        if (end > bytes.size()) {
            files_.space_ -= end - bytes.size();
            bytes.resize(end);
        }
        if (n > 0)
            std::memcpy(bytes.data() + position_, buffer, n);
        position_ += n;
        if (n < count)
            failure_ = "No space left on device";
        return n;
    }

    std::int64_t Seek(std::int64_t offset, Origin origin) override
    {
        const std::int64_t base = origin == Origin::Begin     ? 0
                                  : origin == Origin::Current ? static_cast<std::int64_t>(position_)
                                                              : static_cast<std::int64_t>(file_->bytes.size());
        if (offset < -base)
            return -1;
        position_ = static_cast<std::size_t>(base + offset);
        return base + offset;
    }

    bool SetStamp(std::uint32_t stamp) override
    {
        if (!writable_)
            return false;
        file_->stamp = stamp;
        return true;
    }

    std::string LastFailure() const override { return failure_; }

    const File& Data() const { return *file_; }

private:
    MemoryFileSystem& files_;
    std::shared_ptr<File> file_;
    bool readable_;
    bool writable_;
    std::size_t position_ = 0;
    std::string failure_;
};

MemoryFileSystem::MemoryFileSystem()
{
    AddFolder("c:\\cwd");
}

void MemoryFileSystem::AddFolder(const std::string& path)
{
    std::string key;
    for (const std::string& name : Names(path)) {
        if (!key.empty())
            key += '/';
        key += name;
        nodes_.try_emplace(key);
    }
}

void MemoryFileSystem::Put(const std::string& path, Node node)
{
    std::vector<std::string> names = Names(path);
    if (names.size() < 2)
        return;
    const std::string key = Join(names);
    names.pop_back();
    AddFolder(Join(names));
    Remove(key);
    nodes_[key] = std::move(node);
}

void MemoryFileSystem::AddFile(const std::string& path, Bytes bytes, std::uint32_t stamp, bool readOnly)
{
    Node node;
    node.kind = Node::Kind::File;
    node.file = std::make_shared<File>();
    node.file->bytes = std::move(bytes);
    node.file->stamp = stamp;
    node.file->readOnly = readOnly;
    Put(path, std::move(node));
}

void MemoryFileSystem::AddLink(const std::string& path, const std::string& target)
{
    Node node;
    node.kind = Node::Kind::Link;
    node.target = target;
    Put(path, std::move(node));
}

void MemoryFileSystem::AddHardLink(const std::string& path, const std::string& existing)
{
    const auto it = nodes_.find(Join(Names(existing)));
    if (it == nodes_.end() || it->second.kind != Node::Kind::File)
        return;
    Node node = it->second;
    ++node.file->names;
    Put(path, std::move(node));
}

void MemoryFileSystem::AddFifo(const std::string& path)
{
    Node node;
    node.kind = Node::Kind::Fifo;
    Put(path, std::move(node));
}

void MemoryFileSystem::Remove(const std::string& path)
{
    const auto it = nodes_.find(Join(Names(path)));
    if (it == nodes_.end())
        return;
    if (it->second.kind == Node::Kind::File && --it->second.file->names == 0)
        space_ += it->second.file->bytes.size();
    nodes_.erase(it);
}

const MemoryFileSystem::File* MemoryFileSystem::FileAt(const std::string& path) const
{
    const auto it = nodes_.find(Join(Names(path)));
    return it != nodes_.end() && it->second.kind == Node::Kind::File ? it->second.file.get() : nullptr;
}

const MemoryFileSystem::File* MemoryFileSystem::FileOf(const archive::FileStream& stream)
{
    const auto* own = dynamic_cast<const Stream*>(&stream);
    return own ? &own->Data() : nullptr;
}

// Walks the names of `path` as the system does: a symbolic link met as a
// folder (or as the last name, with `followLast`) is replaced by its target,
// ".." goes to the parent of the folder reached so far. Only links among the
// names in the first `given` characters are followed so; one after them
// ends the walk, as the backends refuse it.
MemoryFileSystem::Place MemoryFileSystem::Resolve(const std::string& path, bool followLast, std::size_t given) const
{
    Place place;
    const std::vector<std::string> names = Names(path);
    if (names.empty()) {
        place.error = "No such file or directory";
        return place;
    }
    const std::size_t givenNames = given >= path.size() ? names.size() : Names(path.substr(0, given)).size();
    std::vector<std::string> reached{names.front()};
    std::string key = names.front();  // Join(reached)
    // Each name still to walk, and whether a link there may be followed.
    std::deque<std::pair<std::string, bool>> pending;
    for (std::size_t i = 1; i < names.size(); ++i)
        pending.emplace_back(names[i], i < givenNames);
    int links = 0;
    while (!pending.empty()) {
        const auto [name, followable] = pending.front();
        pending.pop_front();
        const bool last = pending.empty();
        if (name == "..") {
            if (reached.size() > 1) {
                reached.pop_back();
                key = Join(reached);
            }
            continue;
        }
        const std::size_t end = key.size();
        key += '/';
        key += name;
        const auto it = nodes_.find(key);
        key.resize(end);
        const bool link = it != nodes_.end() && it->second.kind == Node::Kind::Link;
        if (link && !last && !followable) {
            place.error = "a symbolic link among the folders";
            return place;
        }
        if (link && (!last || followLast)) {
            if (++links > 8) {
                place.error = "Too many levels of symbolic links";
                return place;
            }
            place.linked = true;
            const std::vector<std::string> target = Names(it->second.target);
            if (target.empty()) {
                place.error = "No such file or directory";
                return place;
            }
            reached = {target.front()};
            key = target.front();
            for (auto t = target.rbegin(); t + 1 != target.rend(); ++t)
                pending.emplace_front(*t, true);
            continue;
        }
        if (!last && it == nodes_.end()) {
            place.error = "No such file or directory";
            return place;
        }
        if (!last && it->second.kind != Node::Kind::Folder) {
            place.error = "Not a directory";
            return place;
        }
        reached.push_back(name);
        key += '/';
        key += name;
    }
    place.key = std::move(key);
    return place;
}

MemoryFileSystem::Node* MemoryFileSystem::Find(const std::string& key)
{
    const auto it = nodes_.find(key);
    return it == nodes_.end() ? nullptr : &it->second;
}

MemoryFileSystem::Node* MemoryFileSystem::Existing(const Place& place)
{
    return place.error ? nullptr : Find(place.key);
}

bool MemoryFileSystem::FileExists(const std::string& path)
{
    const Node* node = Existing(Resolve(path, true, std::string::npos));
    return node && node->kind != Node::Kind::Folder;
}

bool MemoryFileSystem::FolderExists(const std::string& path)
{
    const Node* node = Existing(Resolve(path, true, std::string::npos));
    return node && node->kind == Node::Kind::Folder;
}

bool MemoryFileSystem::MakeFolder(const std::string& path, std::size_t given)
{
    const Place place = Resolve(path, false, given);
    if (place.error || place.key.find('/') == std::string::npos || Find(place.key))
        return false;
    nodes_[place.key] = Node{};
    if (OnWrite)
        OnWrite(path, place.key, place.linked);
    return true;
}

std::int32_t MemoryFileSystem::FileAge(const std::string& path)
{
    const Node* node = Existing(Resolve(path, true, std::string::npos));
    if (!node || node->kind == Node::Kind::Folder)
        return -1;
    return node->kind == Node::Kind::File ? static_cast<std::int32_t>(node->file->stamp) : 0;
}

std::unique_ptr<archive::FileStream> MemoryFileSystem::OpenArchive(const std::string& path)
{
    const Place place = Resolve(path, true, std::string::npos);
    const Node* node = Existing(place);
    if (!node || node->kind != Node::Kind::File)
        throw Error("Cannot open " + path + ": " + (place.error ? place.error : "no such file"));
    return std::make_unique<Stream>(*this, node->file, true, false);
}

std::unique_ptr<archive::FileStream> MemoryFileSystem::CreateTarget(const std::string& path, std::size_t given)
{
    return OpenForWriting(path, given, true, "Cannot create ");
}

std::unique_ptr<archive::FileStream> MemoryFileSystem::OpenForAppend(const std::string& path, std::size_t given)
{
    auto file = OpenForWriting(path, given, false, "Cannot open ");
    file->Seek(0, archive::FileStream::Origin::End);
    return file;
}

// The last name is never followed; what it names must be a regular file of
// one name, not read-only (or, when `create`, nothing yet).
std::unique_ptr<archive::FileStream> MemoryFileSystem::OpenForWriting(const std::string& path, std::size_t given,
                                                                      bool create, const char* failure)
{
    const Place place = Resolve(path, false, given);
    if (place.error)
        throw Error(failure + path + ": " + place.error);
    Node* node = Find(place.key);
    if (!node) {
        if (!create || place.key.find('/') == std::string::npos)
            throw Error(failure + path + ": No such file or directory");
        Node made;
        made.kind = Node::Kind::File;
        made.file = std::make_shared<File>();
        node = &(nodes_[place.key] = std::move(made));
    }
    switch (node->kind) {
    case Node::Kind::Link: throw Error(failure + path + ": a symbolic link");
    case Node::Kind::Folder: throw Error(failure + path + ": Is a directory");
    case Node::Kind::Fifo: throw Error(failure + path + ": not a regular file");
    case Node::Kind::File: break;
    }
    if (node->file->names > 1)
        throw Error(failure + path + ": a file with more than one name (a hard link)");
    if (node->file->readOnly)
        throw Error(failure + path + ": the file is read-only");
    if (OnWrite)
        OnWrite(path, place.key, place.linked);
    if (create) {
        space_ += node->file->bytes.size();
        node->file->bytes.clear();
    }
    return std::make_unique<Stream>(*this, node->file, create, true);
}

}  // namespace lumora::fuzz
