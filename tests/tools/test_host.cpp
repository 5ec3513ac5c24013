#include <gtest/gtest.h>

#include <thread>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "tools/host/eventlist.h"
#include "tools/host/hostobjects.h"
#include "tools/host/statestream.h"
#include "tools/host/module.h"
#include "tools/host/paramchanges.h"
#include "tools/host/strings.h"

namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using vst3host::ParameterChanges;
using vst3host::ParamValueQueue;

TEST(HostParamQueue, KeepsPointsOrderedAndReplacesSameOffset) {
  ParamValueQueue q(4);
  q.Reset(7);
  int32 index = -1;
  ASSERT_EQ(q.addPoint(100, 0.5, index), kResultOk);
  ASSERT_EQ(q.addPoint(10, 0.1, index), kResultOk);
  EXPECT_EQ(index, 0);
  ASSERT_EQ(q.addPoint(50, 0.3, index), kResultOk);
  EXPECT_EQ(index, 1);
  ASSERT_EQ(q.addPoint(50, 0.4, index), kResultOk);  // same offset: replaced
  EXPECT_EQ(q.getPointCount(), 3);
  const int32 wantOffsets[] = {10, 50, 100};
  const double wantValues[] = {0.1, 0.4, 0.5};
  for (int32 i = 0; i < 3; ++i) {
    int32 offset = -1;
    ParamValue value = -1.0;
    ASSERT_EQ(q.getPoint(i, offset, value), kResultOk);
    EXPECT_EQ(offset, wantOffsets[i]);
    EXPECT_DOUBLE_EQ(value, wantValues[i]);
  }
  EXPECT_EQ(q.getParameterId(), 7u);
}

TEST(HostParamQueue, RefusesBadPointsAndOverflow) {
  ParamValueQueue q(2);
  q.Reset(1);
  int32 index = 0;
  int32 offset = 0;
  ParamValue value = 0;
  EXPECT_EQ(q.getPoint(0, offset, value), kResultFalse);  // empty queue
  EXPECT_EQ(q.addPoint(-1, 0.5, index), kResultFalse);
  EXPECT_EQ(q.addPoint(0, 1.5, index), kResultFalse);
  EXPECT_EQ(q.addPoint(0, -0.1, index), kResultFalse);
  EXPECT_EQ(q.addPoint(0, std::nan(""), index), kResultFalse);
  ASSERT_EQ(q.addPoint(0, 0.0, index), kResultOk);
  ASSERT_EQ(q.addPoint(1, 1.0, index), kResultOk);
  EXPECT_EQ(q.addPoint(2, 0.5, index), kResultFalse);  // full
  EXPECT_EQ(q.getPointCount(), 2);
  EXPECT_EQ(q.getPoint(2, offset, value), kResultFalse);
  EXPECT_EQ(q.getPoint(-1, offset, value), kResultFalse);
}

TEST(HostParameterChanges, OneQueuePerIdWithinCapacity) {
  ParameterChanges changes(2, 4);
  EXPECT_TRUE(changes.Add(5, 0, 0.2));
  EXPECT_TRUE(changes.Add(5, 8, 0.3));  // same id: same queue
  EXPECT_TRUE(changes.Add(9, 0, 0.9));
  EXPECT_FALSE(changes.Add(11, 0, 0.5));  // no third queue
  ASSERT_EQ(changes.getParameterCount(), 2);
  EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 5u);
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 2);
  EXPECT_EQ(changes.getParameterData(1)->getParameterId(), 9u);
  EXPECT_EQ(changes.getParameterData(2), nullptr);
  EXPECT_EQ(changes.getParameterData(-1), nullptr);

  changes.Clear();
  EXPECT_EQ(changes.getParameterCount(), 0);
  EXPECT_EQ(changes.getParameterData(0), nullptr);
  // A reused queue starts empty under its new id.
  EXPECT_TRUE(changes.Add(11, 3, 0.7));
  ASSERT_EQ(changes.getParameterCount(), 1);
  EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 11u);
  EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1);
}

TEST(HostObjects, AnswerOnlyTheirInterfaces) {
  vst3host::HostApplication app;
  String128 name{};
  ASSERT_EQ(app.getName(name), kResultOk);
  EXPECT_EQ(vst3host::Utf16ToUtf8(name, 128), "quenbar");
  void* obj = reinterpret_cast<void*>(1);
  EXPECT_EQ(app.queryInterface(IHostApplication::iid, &obj), kResultOk);
  EXPECT_EQ(obj, static_cast<IHostApplication*>(&app));
  EXPECT_EQ(app.queryInterface(IComponentHandler::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(HostEventList, BoundedAndIndexChecked) {
  vst3host::EventList list(2);
  Event e{};
  e.type = Event::kNoteOnEvent;
  e.noteOn.pitch = 60;
  EXPECT_EQ(list.addEvent(e), kResultOk);
  e.noteOn.pitch = 61;
  EXPECT_EQ(list.addEvent(e), kResultOk);
  EXPECT_EQ(list.addEvent(e), kResultFalse);
  EXPECT_EQ(list.getEventCount(), 2);
  Event out{};
  ASSERT_EQ(list.getEvent(0, out), kResultOk);
  EXPECT_EQ(out.noteOn.pitch, 60);
  EXPECT_EQ(list.getEvent(2, out), kResultFalse);
  list.Clear();
  EXPECT_EQ(list.getEvent(0, out), kResultFalse);
}

// The faults tests switch on in the host's state stream.
TEST(HostStateStream, FaultHooks) {
  using vst3host::StateStream;
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8};
  uint8_t buf[8] = {};
  int32 done = -1;
  {
    StateStream s(bytes);
    s.mReadLimit = 5;
    ASSERT_EQ(s.read(buf, 4, &done), kResultOk);
    EXPECT_EQ(done, 4);
    EXPECT_EQ(s.read(buf, 4, &done), kResultOk) << "a quiet short read";
    EXPECT_EQ(done, 1);
    EXPECT_EQ(buf[0], 5);
    EXPECT_EQ(s.read(buf, 4, &done), kResultOk);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(s.mReads, 3);
  }
  {
    StateStream s(bytes);
    s.mFailShortReads = true;
    EXPECT_EQ(s.read(buf, 6, &done), kResultOk);
    EXPECT_EQ(s.read(buf, 6, &done), kResultFalse) << "says it came up short";
    EXPECT_EQ(done, 2);
    EXPECT_EQ(s.read(buf, -1, &done), kInvalidArgument);
  }
  {
    StateStream s;
    s.mFailWrites = true;
    EXPECT_EQ(s.write(buf, 4, &done), kResultFalse);
    EXPECT_TRUE(s.Data().empty());
    StateStream t;
    t.mWriteLimit = 3;
    EXPECT_EQ(t.write(buf, 2, &done), kResultOk);
    EXPECT_EQ(t.write(buf, 2, &done), kResultOk);
    EXPECT_EQ(done, 1) << "stores what fits";
    EXPECT_EQ(t.Data().size(), 3u);
  }
  {
    // A closed gate holds a read until it opens.
    vst3host::Gate gate;
    StateStream s(bytes);
    s.mGate = &gate;
    gate.Close();
    std::thread reader([&] { s.read(buf, 8, nullptr); });
    gate.WaitForArrivals(1);
    gate.Open();
    reader.join();
    EXPECT_EQ(buf[7], 8);
  }
}

TEST(HostStrings, Utf16ToUtf8HandlesSurrogatesAndLimits) {
  const char16 text[] = {'A', 0xE9, 0x20AC, 0xD83D, 0xDE00, 'z', 0};
  EXPECT_EQ(vst3host::Utf16ToUtf8(text, 128), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z");
  EXPECT_EQ(vst3host::Utf16ToUtf8(text, 2), "A\xC3\xA9");
  // A pair cut by the limit, or a lone half, becomes U+FFFD.
  EXPECT_EQ(vst3host::Utf16ToUtf8(text, 4), "A\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBD");
  const char16 lone[] = {0xDC00, 'x', 0};
  EXPECT_EQ(vst3host::Utf16ToUtf8(lone, 128), "\xEF\xBF\xBDx");
  EXPECT_EQ(vst3host::Utf16ToUtf8(nullptr, 5), "");

  const char field[4] = {'a', 'b', 'c', 'd'};  // no terminator inside the field
  EXPECT_EQ(vst3host::FixedToString(field, 4), "abcd");
  TUID id = {};
  id[0] = static_cast<char>(0xF2);
  id[15] = 0x31;
  EXPECT_EQ(vst3host::TuidToHex(id), "F2000000000000000000000000000031");
}

class HostModuleFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/quenbar-hosttest-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::string cmd = "rm -rf '" + dir + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string MakeBundle(const std::string& name, const char* libraryTarget) {
    const std::string bundle = dir + "/" + name + ".vst3";
    const std::string libDir = bundle + "/Contents/x86_64-linux";
    EXPECT_EQ(std::system(("mkdir -p '" + libDir + "'").c_str()), 0);
    if (libraryTarget) {
      EXPECT_EQ(symlink(libraryTarget, (libDir + "/" + name + ".so").c_str()), 0);
    }
    return bundle;
  }
  std::string dir;
};

TEST_F(HostModuleFiles, ResolvesTheLibraryInsideABundle) {
  const std::string bundle = MakeBundle("Thing", "/dev/null");
  std::string error;
  // /dev/null is not a regular file, so the bundle counts as empty.
  EXPECT_EQ(vst3host::ResolveModuleLibrary(bundle, &error), "");
  EXPECT_NE(error.find("has no Linux x86-64 library"), std::string::npos) << error;

  const std::string lib = bundle + "/Contents/x86_64-linux/Thing.so";
  ASSERT_EQ(unlink(lib.c_str()), 0);
  FILE* f = std::fopen(lib.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(vst3host::ResolveModuleLibrary(bundle, &error), lib);
  EXPECT_EQ(vst3host::ResolveModuleLibrary(bundle + "/", &error), lib);
  EXPECT_EQ(vst3host::ResolveModuleLibrary(lib, &error), lib);  // the library itself

  EXPECT_EQ(vst3host::ResolveModuleLibrary(dir + "/Missing.vst3", &error), "");
  EXPECT_NE(error.find("not found"), std::string::npos) << error;
}

TEST_F(HostModuleFiles, LoadExplainsWhatIsWrong) {
  vst3host::Module module;
  std::string error;
  EXPECT_FALSE(module.Load(dir + "/Missing.vst3", &error));
  EXPECT_NE(error.find("not found"), std::string::npos) << error;

  // A bundle whose library is an empty file: dlopen fails.
  const std::string empty = MakeBundle("Empty", nullptr) + "/Contents/x86_64-linux/Empty.so";
  FILE* f = std::fopen(empty.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_FALSE(module.Load(dir + "/Empty.vst3", &error));
  EXPECT_NE(error.find("cannot load"), std::string::npos) << error;

  // A real shared library that is not a VST3 module.
  const char* libs[] = {"/lib/x86_64-linux-gnu/libm.so.6", "/usr/lib/x86_64-linux-gnu/libm.so.6"};
  const char* libm = nullptr;
  for (const char* l : libs)
    if (access(l, R_OK) == 0) libm = l;
  if (!libm) GTEST_SKIP() << "no libm.so.6 to stand in for a foreign library";
  MakeBundle("Foreign", libm);
  EXPECT_FALSE(module.Load(dir + "/Foreign.vst3", &error));
  EXPECT_NE(error.find("is not a VST3 module"), std::string::npos) << error;
  EXPECT_EQ(module.Factory(), nullptr);
  EXPECT_TRUE(module.LibraryPath().empty());
}

}  // namespace
