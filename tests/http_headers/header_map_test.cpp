#include "engine/http/header_map.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> InOrder(const CHeaderMap& map)
{
    std::vector<std::string> out;
    map.ForEachInOrder([&](const std::string& name, const std::string& value) { out.push_back(name + "=" + value); });
    return out;
}

TEST(HeaderMap, FirstValueWinsAndOrderIsKept)
{
    CHeaderMap map("absent");
    EXPECT_TRUE(map.Insert("zeta", "1"));
    EXPECT_TRUE(map.Insert("alpha", "2"));
    EXPECT_FALSE(map.Insert("zeta", "3"));
    EXPECT_TRUE(map.Insert("Alpha", "4"));  // exact names: case matters here
    EXPECT_EQ(map.Count(), 3);
    EXPECT_EQ(map.Lookup("zeta"), "1");
    EXPECT_EQ(map.Lookup("missing"), "absent");
    EXPECT_EQ(map.Find("missing"), nullptr);
    EXPECT_EQ(InOrder(map), (std::vector<std::string>{"zeta=1", "alpha=2", "Alpha=4"}));

    CHeaderMap copy = map;
    map.Clear();
    EXPECT_EQ(map.Count(), 0);
    EXPECT_EQ(InOrder(copy), (std::vector<std::string>{"zeta=1", "alpha=2", "Alpha=4"}));
    EXPECT_EQ(copy.Lookup("alpha"), "2");
}

}  // namespace
