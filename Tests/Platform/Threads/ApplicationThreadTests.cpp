#include <QxDesktopFixture.hpp>
#include <Vcl.Forms.hpp>

using namespace Vcl;

namespace {

class TCaptionWorker : public TThread {
public:
  explicit TCaptionWorker(TForm* AForm) : TThread(true), FForm(AForm) {}
  ~TCaptionWorker() override
  {
    if (Started() && !Finished()) {
      Terminate();
      WaitFor();
    }
  }

protected:
  void Execute() override
  {
    Synchronize([this] { FForm->SetCaption("from worker"); });
    Queue([this] { FForm->SetTag(7); });
  }

private:
  TForm* FForm;
};

class ApplicationThreads : public QxTest::QxDesktopFixture {};

} // namespace

TEST_F(ApplicationThreads, SynchronizeWakesTheMainLoopAndRunsThere)
{
  auto* form = new TForm(Application);
  form->Show();
  RunUntilIdle();
  TCaptionWorker worker(form);
  worker.Start();
  // The main thread blocks in its loop; the hand-over wakes it.
  while (form->Caption() != "from worker")
    Application->HandleMessage();
  worker.WaitFor();
  RunUntilIdle();
  EXPECT_EQ(Win::GetWindowTextString(form->Handle()), "from worker");
  EXPECT_EQ(form->Tag(), 7);
}
