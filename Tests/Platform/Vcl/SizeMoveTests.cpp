// An interactive resize as the user makes it: the form and every windowed
// control on it hear it start and end, the sizes in between arrive as
// ordinary resizes, and only a top-level window's frame can be taken.
#include "TestControls.hpp"

#include <Win.SizeMove.hpp>

namespace QxTest {

namespace {

// Notes the start and end of a resize and its own size changes.
class TSizeMoveLog : public TCustomControl {
public:
  TSizeMoveLog(TComponent* AOwner, std::string AName) : TCustomControl(AOwner), FName(std::move(AName)) {}
  void Dispatch(TMessage& Message) override
  {
    if (Message.Msg == Win::WM_ENTERSIZEMOVE)
      gEvents.push_back(FName + " enter");
    else if (Message.Msg == Win::WM_EXITSIZEMOVE)
      gEvents.push_back(FName + " exit");
    else if (Message.Msg == Win::WM_SIZE)
      gEvents.push_back(FName + " size " + std::to_string(Width()));
    TCustomControl::Dispatch(Message);
  }

private:
  std::string FName;
};

TEST_F(ControlTest, AnInteractiveResizeReachesEveryWindowedControlOnTheForm)
{
  TForm* form = MakeForm(10, 10, 300, 200);
  auto* outer = new TSizeMoveLog(form, "outer");
  outer->SetAlign(alClient);
  outer->SetParent(form);
  auto* inner = new TSizeMoveLog(form, "inner");
  inner->SetBounds(5, 5, 50, 50);
  inner->SetParent(outer);
  RunUntilIdle();
  gEvents.clear();

  // A child's frame cannot be taken.
  EXPECT_FALSE(Win::InjectSizeMoveStart(outer->Handle()));
  EXPECT_TRUE(gEvents.empty());
  ASSERT_TRUE(Win::InjectSizeMoveStart(form->Handle()));
  EXPECT_EQ(Win::SizeMoveWindow(), form->Handle());
  Win::InjectSizeMoveDrag(form->Width() + 40, form->Height());
  Win::InjectSizeMoveEnd();
  RunUntilIdle();
  EXPECT_EQ(gEvents, (std::vector<std::string>{"outer enter", "inner enter", "outer size 340", "outer exit",
                                               "inner exit"}));
  EXPECT_EQ(Win::SizeMoveWindow(), nullptr);

  // A window that goes while its frame is held is let go without a word.
  ASSERT_TRUE(Win::InjectSizeMoveStart(form->Handle()));
  delete form;
  gEvents.clear();
  Win::InjectSizeMoveDrag(10, 10);
  Win::InjectSizeMoveEnd();
  EXPECT_EQ(Win::SizeMoveWindow(), nullptr);
  EXPECT_TRUE(gEvents.empty());
}

} // namespace

} // namespace QxTest
