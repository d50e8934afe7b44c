#include "ui/FileFilter.h"

#include <gtest/gtest.h>

TEST(FileFilter, SystemFiltersBecomeNameFilters)
{
    using Filters = std::vector<std::string>;
    struct Case { std::string filter; Filters nameFilters; };
    const Case cases[] = {
        {"Text File (*.txt)|*.txt||", {"Text File (*.txt)"}},
        {"\xEA\xB5\x90\xEC\xA0\x95 \xED\x8C\x8C\xEC\x9D\xBC (*.cst)|*.cst||",
         {"\xEA\xB5\x90\xEC\xA0\x95 \xED\x8C\x8C\xEC\x9D\xBC (*.cst)"}},
        {"Images|*.bmp;*.jpg; *.tif|All Files (*.*)|*.*||", {"Images (*.bmp *.jpg *.tif)", "All Files (*)"}},
        {"Bitmap (*.bmp)|*.bmp", {"Bitmap (*.bmp)"}},  // no closing bars
        {"|*.bmp||", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameFiltersOf(c.filter), c.nameFilters) << c.filter;
}

TEST(FileFilter, DefaultExtensionOnlyForNamesWithout)
{
    struct Case { std::string path, extension, result; };
    const Case cases[] = {
        {"/a/report", "*.txt", "/a/report.txt"},
        {"/a/report", ".cst", "/a/report.cst"},
        {"/a/report", "bmp", "/a/report.bmp"},
        {"/a/report.csv", "*.txt", "/a/report.csv"},
        {"/a.b/report", "txt", "/a.b/report.txt"},
        {"/a/report", "", "/a/report"},
        {"", "txt", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WithDefaultExtension(c.path, c.extension), c.result) << c.path << " + " << c.extension;
}
