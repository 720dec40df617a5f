#pragma once

#include <gtest/gtest.h>

#include <string>

namespace brimwell {

// Names the cases of a parameterised test after the name field of their parameter.
struct ParamName {
    template <typename Param>
    std::string operator()(const ::testing::TestParamInfo<Param>& row) const {
        return std::string(row.param.name);
    }
};

}  // namespace brimwell
