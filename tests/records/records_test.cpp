#include "records/records.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace kanzo {
namespace {

std::unique_ptr<ContactRecord> Record(std::int32_t id, const std::string& name) {
  auto r = std::make_unique<ContactRecord>();
  r->id = id;
  r->name = name;
  return r;
}

TEST(ContactTableTest, EnterKeepsTheFirstRecordOfAnIdAndItsAddress) {
  ContactTable table;
  ContactRecord* first = table.Enter(Record(5, "first"));
  ASSERT_NE(first, nullptr);
  for (int id = 6; id < 200; ++id) table.Enter(Record(id, "filler"));
  EXPECT_EQ(table.Enter(Record(5, "second")), first);
  EXPECT_EQ(table.Find(5), first);
  EXPECT_EQ(first->name, "first");
  EXPECT_EQ(table.Find(4), nullptr);
  EXPECT_EQ(table.Enter(nullptr), nullptr);
  EXPECT_EQ(table.Size(), 195u);

  ContactRecord copy;
  EXPECT_TRUE(table.CopyRecord(5, &copy));
  EXPECT_EQ(copy.name, "first");
  EXPECT_FALSE(table.CopyRecord(4, &copy));
  EXPECT_FALSE(table.Update(4, [](ContactRecord&) {}));
  table.Clear();
  EXPECT_EQ(table.Size(), 0u);
}

// A reader on another thread sees each record whole while the writer
// changes several fields under the lock.
TEST(ContactTableTest, CopiesTakenFromAnotherThreadAreNeverHalfWritten) {
  ContactTable table;
  auto r = Record(1, "v0");
  r->area = "v0";
  r->ip = "v0";
  table.Enter(std::move(r));
  std::atomic<bool> done{false};
  int torn = 0;
  std::thread reader([&] {
    ContactRecord copy;
    while (!done.load()) {
      table.CopyRecord(1, &copy);
      if (copy.name != copy.area || copy.area != copy.ip) ++torn;
    }
  });
  for (int i = 0; i < 2000; ++i) {
    const std::string v = "v" + std::to_string(i);
    table.Update(1, [&](ContactRecord& rec) {
      rec.name = v;
      rec.area = v;
      rec.ip = v;
    });
  }
  done = true;
  reader.join();
  EXPECT_EQ(torn, 0);
}

TEST(NameTableTest, SetReplacesAndLookupReportsMissing) {
  NameTable names;
  std::string name;
  EXPECT_FALSE(names.Lookup(3, &name));
  names.Set(3, "张三");
  names.Set(3, "李四");
  EXPECT_TRUE(names.Lookup(3, &name));
  EXPECT_EQ(name, "李四");
  EXPECT_EQ(names.Size(), 1u);
}

TEST(AgentRecordTest, AgentRecordStartsLoggedOutWithDefaultSettings) {
  SharedAgentRecord agent;
  const AgentRecord r = agent.Copy();
  EXPECT_FALSE(agent.IsLoggedIn());
  EXPECT_EQ(r.presence, kPresenceOnline);
  EXPECT_EQ(r.flickState, kFlickStateBubble);
  EXPECT_EQ(r.soundState, kSoundStateOn);
  agent.Update([](AgentRecord& rec) { rec.triple = AgentTriple{1, 2, 3}; });
  EXPECT_EQ(agent.Triple(), (AgentTriple{1, 2, 3}));
  EXPECT_TRUE(agent.IsLoggedIn());
  agent.Reset();
  EXPECT_EQ(agent.AgentId(), 0);
}

}  // namespace
}  // namespace kanzo
