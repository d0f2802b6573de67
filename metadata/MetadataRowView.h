#pragma once

#include <cstddef>
#include <string>

// The "Value" column of the list that shows the metadata entries (row i shows entry i).
// The column holds pending edits, so a commit reads the rows from here.
class MetadataRowView {
public:
    virtual ~MetadataRowView() = default;
    [[nodiscard]] virtual std::wstring GetValueText(std::size_t row) const = 0;
    virtual void SetValueText(std::size_t row, const std::wstring& text) = 0;
};
