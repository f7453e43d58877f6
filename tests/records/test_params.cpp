#include "records/Params.h"

#include <gtest/gtest.h>

using namespace ecr::records;

TEST(ParamsCodec, LayoutDependsOnModelAndVersion) {
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100319), ParamLayout::A);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100320), ParamLayout::B);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100400), ParamLayout::B);
    EXPECT_EQ(ChooseParamLayout("BIRCH", 100401), ParamLayout::A);
    EXPECT_EQ(ChooseParamLayout("CEDAR", 100500), ParamLayout::B);
}

