// sim_objects_test.cpp: the device tree: search, info texts, object control, tree text.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

class SimObjects : public SimTest {
 protected:
  std::vector<uint32_t> Search(const char *cls, const char *type, const char *name,
                               QorObjectId start = QORLIB3_NONE, uint32_t flags = 1) {
    std::vector<uint32_t> ids;
    QorObjectId id;
    int status;
    for (int32_t i = 0; (status = QorVoz3ObjectSearch(i, start, cls, type, name, flags, &id,
                                                      &err)) <= 0;
         ++i) {
      ids.push_back(id);
      if (i > 100) break;
    }
    EXPECT_EQ(status, QORLIB3_ERR_NOT_FOUND);
    return ids;
  }
  std::string Tree(QorObjectId object, uint32_t detail, uint32_t capacity = 4096,
                   int *status = nullptr) {
    std::vector<char> buf(capacity + 1, 'x');
    QorVoz3String s{capacity, buf.data()};
    int r = QorVoz3ObjTreeSprintf(&s, object, detail);
    if (status) *status = r;
    EXPECT_EQ(buf[capacity], 'x');
    return buf.data();
  }
};

using Ids = std::vector<uint32_t>;

TEST_F(SimObjects, SearchFiltersByClassTypeAndName) {
  const struct {
    const char *cls, *type, *name;
    Ids ids;
  } cases[] = {
      {nullptr, nullptr, nullptr, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"Camera", nullptr, nullptr, {4, 6, 9}},
      {nullptr, "CameraPort", nullptr, {3, 5}},
      {nullptr, nullptr, "Port0", {3, 8}},
      {"Port", "LinePort", "Port0", {8}},
      {"camera", nullptr, nullptr, {}},  // whole text, case kept
      {"Cam", nullptr, nullptr, {}},
      {"", nullptr, nullptr, {}},  // an empty filter matches only empty fields
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.cls ? c.cls : c.type ? c.type : c.name ? c.name : "*");
    EXPECT_EQ(Search(c.cls, c.type, c.name), c.ids);
  }
  EXPECT_EQ(Search(nullptr, nullptr, nullptr, 2), (Ids{3, 4, 5, 6}));
  EXPECT_EQ(Search(nullptr, nullptr, nullptr, 2, 0), (Ids{3, 5}));
  EXPECT_EQ(Search(nullptr, nullptr, nullptr, QORLIB3_NONE, 0), (Ids{1}));
  QorObjectId id;
  EXPECT_EQ(QorVoz3ObjectSearch(0, 77, nullptr, nullptr, nullptr, 1, &id, &err),
            QORLIB3_ERR_NOT_FOUND);
  EXPECT_EQ(QorVoz3ObjectSearch(-1, QORLIB3_NONE, nullptr, nullptr, nullptr, 1, &id, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
}

TEST_F(SimObjects, InfoTextsAndObjectControl) {
  char buf[256];
  QorVoz3String s{sizeof buf, buf};
  const char *expected[] = {nullptr,      "Camera",   "SimMono8", "Cam0",
                            "2026-09-30", "08:45:30", "qorsim_camera.drv", "2.1.0"};
  for (uint32_t sel = 1; sel <= 7; ++sel) {
    ASSERT_EQ(QorVoz3ObjectInfo(4, sel, &s, &err), 0);
    EXPECT_STREQ(buf, expected[sel]);
  }
  EXPECT_EQ(QorVoz3ObjectInfo(4, 8, &s, &err), QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QorVoz3ObjectInfo(4, 0, &s, &err), QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QorVoz3ObjectInfo(99, 1, &s, &err), QORLIB3_ERR_NOT_FOUND);
  QorHandle control = 0;
  ASSERT_EQ(QorVoz3GetCInterface(4, QORLIB3_CINTERFACE_OBJECT_CONTROL, &control, &err), 0);
  ASSERT_EQ(QorVoz3CallCInterface_1(control, QORLIB3_CMD_DESCRIPTION, 284, &s, &err), 0);
  EXPECT_STREQ(buf, "Simulated mono camera 640x480");
  ASSERT_EQ(QorVoz3CallCInterface_1(control, QORLIB3_CMD_SERIAL_NUMBER, 284, &s, &err), 0);
  EXPECT_STREQ(buf, "QS-CAM-2001");
  EXPECT_EQ(QorVoz3CallCInterface_1(control, 0x50000067, 284, &s, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
  EXPECT_EQ(QorVoz3CallCInterface_1(control, QORLIB3_CMD_DESCRIPTION, 284, nullptr, &err),
            QORLIB3_ERR_NULL_POINTER);
  EXPECT_EQ(QorVoz3CallCInterface_0(control, QORLIB3_CMD_DESCRIPTION, &err),
            QORLIB3_ERR_BAD_ARGUMENT);
  for (QorObjectId port : {3u, 5u, 8u})
    EXPECT_EQ(QorVoz3GetCInterface(port, QORLIB3_CINTERFACE_OBJECT_CONTROL, &control, &err),
              QORLIB3_ERR_NOT_PRESENT);
  EXPECT_EQ(QorVoz3GetCInterface(4, QORLIB3_CINTERFACE_INPUT_CONTROL, &control, &err),
            QORLIB3_ERR_NOT_PRESENT);
}

TEST_F(SimObjects, TreeTextAtEachDetail) {
  EXPECT_EQ(Tree(7, 1), "Board1\n  Port0\n    LineCam0\n");
  EXPECT_EQ(Tree(7, 2),
            "[7] Board SimLineGrabber \"Board1\"\n"
            "  [8] Port LinePort \"Port0\"\n"
            "    [9] Camera SimLineScan \"LineCam0\"\n");
  EXPECT_EQ(Tree(9, 3),
            "[9] Camera SimLineScan \"LineCam0\" file qorsim_linecam.drv version 1.0.7 "
            "(2026-08-12 16:20:05)\n");
  std::string whole = Tree(QORLIB3_NONE, 2);
  EXPECT_EQ(whole.rfind("[1] Library QorSimLibrary \"qorlib3\"\n", 0), 0u);
  EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 9);
  EXPECT_EQ(whole.back(), '\n');
  int status = 0;
  EXPECT_EQ(Tree(QORLIB3_NONE, 2, 20, &status), whole.substr(0, 19));
  EXPECT_EQ(status, QORLIB3_ERR_STRING_TOO_SMALL);
  EXPECT_EQ(Tree(42, 2, 64, &status), "");
  EXPECT_EQ(status, QORLIB3_ERR_NOT_FOUND);
  QorVoz3String none{10, nullptr};
  EXPECT_EQ(QorVoz3ObjTreeSprintf(&none, QORLIB3_NONE, 2), QORLIB3_ERR_NULL_POINTER);
}

}  // namespace
