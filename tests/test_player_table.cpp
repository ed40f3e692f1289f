// The fake player table runs the contract the windows' tables run.
#include "tests/fakes/FakePlayerTable.h"
#include "tests/support/PlayerTableContract.h"

using FakeTables = ::testing::Types<fakes::FakePlayerTable>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, PlayerTableContract, FakeTables);
