#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "FakePlugin.h"

namespace velmora::test {
namespace {

using Calls = std::vector<std::string>;

class EditorExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override { plugin->DefineDefaults(); }
  std::unique_ptr<FakePlugin> plugin = std::make_unique<FakePlugin>();
  std::shared_ptr<EditorRecord> record = std::make_shared<EditorRecord>();
};

TEST_F(EditorExchangeTest, SetParameterFromEditorSetsThenAutomatesThenNotifies) {
  plugin->SetParameterFromEditor(0, 0.5);
  EXPECT_EQ(plugin->log, (Calls{"automate 0 0.500000 = 114.000000", "changed 0 = 114.000000"}));
  plugin->SetParameterFromEditor(3, 0.5);
  EXPECT_EQ(plugin->log.size(), 2u);
}

TEST_F(EditorExchangeTest, AttachEditorHandsNormalisedValuesThenCreatesSurfaces) {
  plugin->AttachEditor(std::make_unique<RecordingEditor>(record));
  EXPECT_EQ(record->calls, (Calls{"0 norm 0.000000", "1 norm 0.000000", "2 norm 0.050000",
                                  "surfaces"}));
  plugin->AttachEditor(nullptr);
  EXPECT_NE(plugin->Editor(), nullptr);
}

TEST_F(EditorExchangeTest, PushParamsToEditorSendsRealValues) {
  plugin->PushParamsToEditor();  // nothing attached yet
  plugin->AttachEditor(std::make_unique<RecordingEditor>(record));
  record->calls.clear();
  plugin->LoadPreset(0);
  EXPECT_EQ(record->calls, (Calls{"0 real -1.000000", "1 real 0.000000", "2 real 0.500000"}));
}

TEST_F(EditorExchangeTest, PluginOwnsTheEditor) {
  plugin->AttachEditor(std::make_unique<RecordingEditor>(record));
  auto second = std::make_shared<EditorRecord>();
  plugin->AttachEditor(std::make_unique<RecordingEditor>(second));
  EXPECT_TRUE(record->deleted);
  plugin.reset();
  EXPECT_TRUE(second->deleted);
}

}  // namespace
}  // namespace velmora::test
