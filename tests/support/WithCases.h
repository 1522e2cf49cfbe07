#pragma once
#include <gtest/gtest.h>

// `Fixture` run over a table of `Case`s: `using Turns = WithCases<FullScreen, Turn>;`.
template <class Fixture, class Case>
class WithCases : public Fixture, public ::testing::WithParamInterface<Case>
{
};
