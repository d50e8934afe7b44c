// The shared contract test, run on the test plug-in, so the suite itself is known to pass a conforming module.
#include "qvplglib/testing/PlugInContractTest.h"

namespace plugin_contract {

INSTANTIATE_TEST_SUITE_P(TestPlugIn, PlugInContract,
                         ::testing::Values(Case{"Alpha", TEST_PLUGIN_DIR "/PlgTestAlpha.so",
                                                {{"Test Alpha", "Invert Pixel", 0, 1},
                                                 {"Test Alpha", "Record Input", 1, 0}}}),
                         CaseName);

}  // namespace plugin_contract
