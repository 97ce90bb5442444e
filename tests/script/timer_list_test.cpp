// The event queue: FIFO order, levels, removal by sender, lookups and the saved form.
#include "components/timer_list.h"

#include <gtest/gtest.h>

#include "resources/binary_reader.h"
#include "resources/error.h"
#include "resources/stream.h"

namespace vorn {
namespace {

class FakeSender : public TEventSender {
 public:
  explicit FakeSender(std::string n) : name(std::move(n)) {}
  std::string SenderName() const override { return name; }
  std::string name;
};

TEST(TimerListTest, QueueOperations) {
  FakeSender a("a"), b("b");
  TTimerList q;
  q.Enqueue(SenderRef(&a), "h1.vsb", {}, 60);
  q.Enqueue(SenderRef(&b), "h2.vsb", {}, 60);
  q.Enqueue(SenderRef(&a), "h3.vsb", {}, 61);
  EXPECT_EQ(q.NextPending()->Handler, "h1.vsb");
  q[0].Level = 1;
  EXPECT_EQ(q.NextPending()->Handler, "h2.vsb");
  EXPECT_EQ(q.IndexOf(SenderRef(&a), 60), 0);  // any level
  EXPECT_EQ(q.IndexOf(SenderRef(&a), 61), 2);
  EXPECT_EQ(q.IndexOf(SenderRef(&b), 61), -1);
  q.RemoveSenderPending(SenderRef(&a));  // only the waiting one
  ASSERT_EQ(q.Count(), 2);
  EXPECT_EQ(q[0].Handler, "h1.vsb");
  q[1].Level = 2;
  q.RemoveLevel(2);
  ASSERT_EQ(q.Count(), 1);
  q.Enqueue(SenderRef(&b), "h4.vsb", {}, 1);
  q.RemoveHandled();
  ASSERT_EQ(q.Count(), 1);
  EXPECT_EQ(q[0].Handler, "h4.vsb");
}

TEST(TimerListTest, SenderReferencesSurviveTheSender) {
  auto s = std::make_unique<FakeSender>("gone");
  SenderRef ref(s.get());
  SenderRef none;
  EXPECT_EQ(ref.Name(), "gone");
  s.reset();
  EXPECT_EQ(ref.Get(), nullptr);
  EXPECT_EQ(ref.Name(), "");
  EXPECT_FALSE(ref.None());
  EXPECT_TRUE(none.None());
  EXPECT_FALSE(ref.Same(none));
  EXPECT_TRUE(ref.Same(ref));
}

TEST(TimerListTest, SavedFormRoundTripsAndOldLevelsAreOneByte) {
  FakeSender a("btn");
  TTimerList q;
  TArrayString args;
  args.Add("x");
  q.Enqueue(SenderRef(&a), "h.vsb:lab", args, 60).Level = 3;
  q.Enqueue(SenderRef(), "g.vsb", {}, 7);
  MemoryStream out;
  BinaryWriter w(out);
  q.SaveToStream(w);
  std::vector<uint8_t> bytes = out.Take();

  TTimerList back;
  MemoryView v(bytes);
  BinaryReader r(v, "queue");
  back.LoadFromStream(r, 140, [&](const std::string& n) { return n == "btn" ? SenderRef(&a) : SenderRef(); });
  ASSERT_EQ(back.Count(), 2);
  EXPECT_EQ(back[0].Handler, "h.vsb:lab");
  EXPECT_TRUE(back[0].Sender.Same(SenderRef(&a)));
  EXPECT_EQ(back[0].Level, 3);
  EXPECT_EQ(back[0].Args, args);
  EXPECT_TRUE(back[1].Sender.None());
  EXPECT_EQ(back[1].EventId, 7);

  // Version 113: the level is one byte, non-zero meaning 1.
  MemoryStream old;
  BinaryWriter ow(old);
  ow.I32(1);
  ow.CountedString("h.vsb");
  ow.CountedString("");
  ow.U8(60);
  ow.U8(5);
  ow.I32(0);
  std::vector<uint8_t> ob = old.Take();
  MemoryView ov(ob);
  BinaryReader orr(ov, "queue");
  back.LoadFromStream(orr, 113, [](const std::string&) { return SenderRef(); });
  ASSERT_EQ(back.Count(), 1);
  EXPECT_EQ(back[0].Level, 1);

  // Truncated: an error, and the queue is left as it was.
  std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 3);
  MemoryView cv(cut);
  BinaryReader cr(cv, "queue");
  EXPECT_THROW(back.LoadFromStream(cr, 140, [](const std::string&) { return SenderRef(); }), EFormatError);
  EXPECT_EQ(back.Count(), 1);
}

}  // namespace
}  // namespace vorn
