#include "InstallerResources.h"

#include <algorithm>

#include "image/ImageResources.h"
#include "image/Manifest.h"
#include "image/PeLayout.h"
#include "image/VersionResource.h"
#include "base/Error.h"
#include "base/PathEncoding.h"
#include "base/TextTables.h"

namespace setuppack {

namespace {

// US English, for resources of a stub that has none to follow.
constexpr std::uint16_t kDefaultLanguage = 0x0409;
constexpr std::uint16_t kNeutralLanguage = 0;

ResourceKey Number(std::uint16_t id)
{
    ResourceKey key;
    key.id = id;
    return key;
}

// The first resource of `type`, or nullptr.
const Resource* First(const std::vector<Resource>& resources, std::uint16_t type)
{
    const auto it = std::find_if(resources.begin(), resources.end(),
                                 [type](const Resource& r) { return r.type == Number(type); });
    return it == resources.end() ? nullptr : &*it;
}

void RemoveAll(std::vector<Resource>& resources, std::uint16_t type)
{
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [type](const Resource& r) { return r.type == Number(type); }),
                    resources.end());
}

Resource Made(std::uint16_t type, ResourceKey name, std::uint16_t language, Bytes data)
{
    Resource resource;
    resource.type = Number(type);
    resource.name = std::move(name);
    resource.language = language;
    resource.data = std::move(data);
    return resource;
}

// `role` follows the product's name in FileDescription; `fileName` is the
// program's OriginalFilename, kept as it is when empty.
VersionInfo ProductVersionInfo(VersionInfo info, const ProductOptions& product, const char* role,
                               const std::string& fileName)
{
    const lumora::ProductInfo& text = product.text;
    if (!text.Product.empty()) {
        info.Set(u"ProductName", Utf16(text.Product));
        info.Set(u"FileDescription", Utf16(text.Product + role));
    }
    if (!text.Publisher.empty()) {
        info.Set(u"CompanyName", Utf16(text.Publisher));
        info.Set(u"LegalCopyright", Utf16("Copyright (C) " + text.Publisher));
    }
    if (product.numbers) {
        info.Set(u"FileVersion", Utf16(text.Version));
        info.Set(u"ProductVersion", Utf16(text.Version));
        info.SetNumbers(*product.numbers);
    }
    if (!fileName.empty()) {
        info.Set(u"OriginalFilename", Utf16(fileName));
        info.Set(u"InternalName", Utf16(fileName.substr(0, fileName.rfind('.'))));
    }
    return info;
}

// The product's version information and icon in `resources`, in place of
// the program's own.
void PutProduct(std::vector<Resource>& resources, const ProductOptions& product, const char* role,
                const std::string& fileName)
{
    const Resource* version = First(resources, kVersionType);
    const ResourceKey versionName = version ? version->name : Number(1);
    const std::uint16_t versionLanguage = version ? version->language : kDefaultLanguage;
    const VersionInfo info = ProductVersionInfo(version ? ReadVersionInfo(version->data) : NewVersionInfo(), product,
                                                role, fileName);
    RemoveAll(resources, kVersionType);
    resources.push_back(Made(kVersionType, versionName, versionLanguage, WriteVersionInfo(info)));

    if (product.icon) {
        // The icon takes the place of the program's first one; its images
        // are numbered from 1, and the program's images go with their
        // groups.
        const Resource* group = First(resources, kGroupIconType);
        const ResourceKey groupName = group ? group->name : Number(1);
        const std::uint16_t language = group ? group->language : kDefaultLanguage;
        RemoveAll(resources, kGroupIconType);
        RemoveAll(resources, kIconType);
        resources.push_back(Made(kGroupIconType, groupName, language, product.icon->group));
        for (std::size_t i = 0; i < product.icon->images.size(); ++i)
            resources.push_back(
                Made(kIconType, Number(static_cast<std::uint16_t>(i + 1)), language, product.icon->images[i]));
    }
}

void PutData(std::vector<Resource>& resources, std::uint16_t id, const std::string& data)
{
    // Data of the program's own, neutral: the tables hold one for every
    // language chosen, among which the program chooses.
    const ResourceKey name = Number(id);
    resources.erase(std::remove_if(resources.begin(), resources.end(),
                                   [&name](const Resource& r) { return r.type == Number(kDataType) && r.name == name; }),
                    resources.end());
    resources.push_back(Made(kDataType, name, kNeutralLanguage, Bytes(data.begin(), data.end())));
}

}  // namespace

Bytes UninstallerImageOf(const Bytes& uninstaller, const ProductOptions& product, const std::string& textTables)
{
    std::vector<Resource> resources = ReadImageResources(uninstaller);
    if (product.Given())
        PutProduct(resources, product, " Uninstall", {});
    if (!textTables.empty())
        PutData(resources, lumora::kTextTablesResource, textTables);
    return WithResources(uninstaller, resources);
}

InstallerImage InstallerImageOf(const Bytes& stub, const ProductOptions& product, const std::string& textTables,
                                const std::string& installerName, bool perUser, std::optional<unsigned> codePage)
{
    std::vector<Resource> resources = ReadImageResources(stub);

    if (perUser) {
        // Started with the user's own rights: no elevation prompt, and
        // nothing of the user's virtualised.
        const auto manifest = std::find_if(resources.begin(), resources.end(),
                                           [](const Resource& r) { return r.type == Number(kManifestType); });
        if (manifest == resources.end())
            throw lumora::Error("it has no manifest, whose execution level --per-user sets to asInvoker");
        manifest->data = WithExecutionLevel(manifest->data, "asInvoker");
    }

    if (product.Given())
        PutProduct(resources, product, " Setup", installerName);

    if (!textTables.empty())
        PutData(resources, lumora::kTextTablesResource, textTables);
    if (codePage)
        PutData(resources, static_cast<std::uint16_t>(lumora::kCodePageResource), std::to_string(*codePage));

    InstallerImage installer;
    installer.image = WithResources(stub, resources);
    const PeLayout layout = ReadPeLayout(stub);
    if (layout.checksum != 0)
        installer.checksumAt = layout.ChecksumAt();
    return installer;
}

}  // namespace setuppack
