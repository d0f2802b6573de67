#pragma once

#include "metadata/MetadataRowView.h"
#include "tests/support/TestTimes.h"

#include <windows.h>
#include <propsys.h>

#include <cstdint>
#include <string>
#include <vector>

// Keys of a typical document's full-details list.
inline constexpr PROPERTYKEY TitleKey = {{0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}},
                                         2};
inline constexpr PROPERTYKEY ContentCreatedKey = {
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 12};
inline constexpr PROPERTYKEY DateSavedKey = {
    {0xF29F85E0, 0x4FF9, 0x1068, {0xAB, 0x91, 0x08, 0x00, 0x2B, 0x27, 0xB3, 0xD9}}, 13};
inline constexpr PROPERTYKEY SizeKey = {{0xB725F130, 0x47EF, 0x101A, {0xA5, 0xF1, 0x02, 0x60, 0x8C, 0x9E, 0xEB, 0xAC}},
                                        12};
inline constexpr PROPERTYKEY DateTakenKey = {
    {0x14B81DA1, 0x0135, 0x4D31, {0x96, 0xD9, 0x6C, 0xBF, 0xC9, 0x67, 0x1A, 0x99}}, 36867};

// The list's "Value" column: rows as texts, and which rows a refresh wrote.
class RecordingRowView final : public MetadataRowView {
public:
    explicit RecordingRowView(std::vector<std::wstring> texts) : rows(std::move(texts)) {}

    std::wstring GetValueText(std::size_t row) const override { return rows.at(row); }
    void SetValueText(std::size_t row, const std::wstring& text) override
    {
        rows.at(row) = text;
        written.push_back(row);
    }

    std::vector<std::wstring> rows;
    std::vector<std::size_t> written;
};
