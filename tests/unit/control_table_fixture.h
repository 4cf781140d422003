// control_table_fixture.h: a started stand-in system with the viewer's state reset, for the
// control-table tests that run against the real library.
#ifndef QOR_TEST_CONTROL_TABLE_FIXTURE_H
#define QOR_TEST_CONTROL_TABLE_FIXTURE_H

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "control_table.h"
#include "qorlib3.h"
#include "video.h"
#include "viewer.h"

class ControlTableSystem : public ::testing::Test {
 protected:
  // Library, system (created and initialised) and the header output-interface rows read into.
  void Start(uint32_t systemId) {
    Viewer_Reset();
    Control_Table_Reset();
    Video_Reset();
    ASSERT_LE(QorVoz3Init(&viewer.error), 0);
    libraryUp_ = true;
    ASSERT_LE(QorVoz3SystemCreate(systemId, &viewer.system, &viewer.error), 0);
    systemUp_ = true;
    ASSERT_LE(QorVoz3SystemInit(viewer.system, &viewer.error), 0);
    ASSERT_LE(QorVoz3DataheaderCreate(&viewer.dataHeaderTmp, &viewer.error), 0);
  }

  void TearDown() override {
    if (systemUp_) QorVoz3SystemDestroy(viewer.system, nullptr);
    if (libraryUp_) QorVoz3Exit(nullptr);
  }

  // Builds the table (and adds the interfaces), returning what was printed.
  std::string Build(bool addInterfaces) {
    testing::internal::CaptureStdout();
    const bool built = Control_Table_Build(viewer.system);
    if (built && addInterfaces) Control_Table_Add_Interfaces(viewer.system);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(built) << out;
    return out;
  }

  // The instance-th row called name; fails the test when there is none.
  ControlEntry *Row(const char *name, uint32_t instance = 0) {
    for (uint32_t i = 0; i < controlTable.count; ++i) {
      ControlEntry &row = controlTable.entries[i];
      if (row.name && std::strcmp(row.name, name) == 0 && instance-- == 0) return &row;
    }
    ADD_FAILURE() << "no row " << name;
    static ControlEntry none{};
    none = ControlEntry{};
    return &none;
  }

  // The row's text as it is drawn ("" when it stays undrawn).
  static std::string Line(const ControlEntry *row) {
    char text[TEXT_BUFFER_SIZE];
    return Control_Format_Line(row, text, sizeof text) ? std::string(text) : std::string();
  }

 private:
  bool libraryUp_ = false;
  bool systemUp_ = false;
};

#endif
