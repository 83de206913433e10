// The station as a C++ API: the same commands as `vx70 drive`, in process.
#include "station/station.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

class StationTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("VX70_MODULE", VX70_PROBE_MODULE_PATH, 1); }
  void TearDown() override { unsetenv("VX70_MODULE"); }

  std::vector<json> events;
  vx70::Station::EventSink sink() {
    return [this](const json& e) { events.push_back(e); };
  }
};

// Each question asked as the station closes (the dialog's and then each
// page's Init asks one) gets the answer that changes nothing: No, not Yes,
// for "Save changes?".  The dialog then closes cancelled.
TEST_F(StationTest, ClosingTheStationAnswersEveryQuestionSafelyAndCancelsItsDialog) {
  {
    vx70::Station station({}, sink());
    station.execute("open 3607 1", 1);  // Customer Defaults with a question in its Init
    ASSERT_TRUE(station.questionPending());
  }
  int asked = 0, heardNo = 0;
  for (const auto& e : events) {
    if (e["event"] != "message") continue;
    asked += e["text"] == "Save changes?";
    heardNo += e["text"] == "You said no";
    EXPECT_NE(e["text"], "You said yes");
  }
  EXPECT_GT(asked, 0);
  EXPECT_EQ(heardNo, asked);
  EXPECT_EQ(events.back(), json({{"event", "dialog"},
                                 {"action", "closed"},
                                 {"dialog", 3607},
                                 {"result", 0},
                                 {"shown", true}}));
}

TEST_F(StationTest, OnlyOneStationRunsInAProcess) {
  vx70::Station first({}, sink());
  EXPECT_THROW(vx70::Station({}, sink()), std::runtime_error);
}

}  // namespace
