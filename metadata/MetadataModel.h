#pragma once

#include "metadata/MetadataEntry.h"
#include "metadata/MetadataRowView.h"
#include "metadata/PropertySystem.h"

#include <vector>

// Attribute bits fetched for the target; only SFGAO_READONLY is used.
inline constexpr SFGAOF MetadataAttributeMask = SFGAO_STORAGECAPMASK;

// The shell properties of one target file that can be edited: which are offered, their
// display texts, refreshing them and writing edited texts back. Every operation opens the
// item and its store anew and releases them before it returns; a path the shell would read as
// another item (platform/ItemPath.h, ShellReadsExactly) is never handed to the property system.
class MetadataModel {
public:
    explicit MetadataModel(PropertySystem& system) noexcept : system_(system) {}

    void SetTargetPath(std::wstring path) { targetPath_ = std::move(path); }
    [[nodiscard]] const std::wstring& TargetPath() const noexcept { return targetPath_; }

    // Fetched by the first load; 0 before.
    [[nodiscard]] SFGAOF ItemAttributes() const noexcept { return itemAttributes_; }
    [[nodiscard]] bool IsReadOnlyItem() const noexcept { return (itemAttributes_ & SFGAO_READONLY) != 0; }

    // Filled by the first load, never reordered or shrunk afterwards. The page sets the
    // modified flag of a row it has edited.
    std::vector<MetadataEntry>& Entries() noexcept { return entries_; }
    [[nodiscard]] const std::vector<MetadataEntry>& Entries() const noexcept { return entries_; }

    // The list showing the entries, or null while it does not exist. Not owned.
    void SetRowView(MetadataRowView* view) noexcept { rowView_ = view; }

    // First call: collects the offered properties (TYPE_E_ELEMENTNOTFOUND when there are none)
    // and formats their values. Later calls refresh the value texts, also in the row view,
    // and clear every modified flag.
    [[nodiscard]] HRESULT LoadMetadata();

    // Whether the page has edited a row since the last load.
    [[nodiscard]] bool HasModifiedEntries() const;

    // Writes the row texts of the modified entries to the file and commits them all at once.
    // The file is not opened when nothing is modified. The modified flags stay as they are.
    [[nodiscard]] HRESULT CommitMetadata();

    // Parses a duration text and replaces it by the platform's display form of that duration.
    // An empty text stays empty. On false the text is left as it was.
    bool NormalizeDurationText(std::wstring& text);

private:
    [[nodiscard]] HRESULT OpenStore(GETPROPERTYSTOREFLAGS flags, std::unique_ptr<ShellItem>& item,
                                    std::unique_ptr<PropertyStore>& store);
    [[nodiscard]] HRESULT CollectEntries(ShellItem& item, PropertyStore& store);
    [[nodiscard]] HRESULT AppendIfOffered(PropertyDescription& description, PropertyStoreCapabilities* capabilities);
    [[nodiscard]] HRESULT RefreshEntries(PropertyStore& store);
    [[nodiscard]] HRESULT WriteEntry(std::size_t row, PropertyStore& store);

    PropertySystem& system_;
    std::wstring targetPath_;
    SFGAOF itemAttributes_ = 0;
    std::vector<MetadataEntry> entries_;
    MetadataRowView* rowView_ = nullptr;
};
