#include "framework/Form.h"

#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Edit.h"

namespace {
// A small dialog: an edit box with OK (default, Enter) and Cancel (cancel, Esc).
class TAskForm : public TForm {
 public:
  explicit TAskForm(TComponent* owner) : TForm(owner, bsDialog) {
    SetClientSize(220, 90);
    Position = poScreenCenter;
    edit = new TEdit(this, this, 10, 10, 200, 22);
    ok = new TButton(this, this, "OK", 30, 50, 75, 25);
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    cancel = new TButton(this, this, "Cancel", 115, 50, 75, 25);
    cancel->ModalResult = mrCancel;
    cancel->SetCancel(true);
    ActiveControl = edit;
  }
  TEdit* edit;
  TButton* ok;
  TButton* cancel;
};

void PostKey(HWND target, WORD key) {
  PostMessageW(target, WM_KEYDOWN, key, 1);
  PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}
}  // namespace

TEST(Form, EnterAndEscEndTheModalRunThroughTheDefaultAndCancelButtons) {
  struct Case {
    WORD key;
    int result;
  } cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}};
  for (const Case& c : cases) {
    TAskForm form(nullptr);
    form.FinishCreate();
    PostKey(form.edit->Handle(), c.key);
    EXPECT_EQ(form.ShowModal(), c.result);
    EXPECT_FALSE(form.Visible());
  }
}

TEST(Form, ModalFormIsCentredAndDisablesTheOthers) {
  TForm main(nullptr);
  main.Show();
  TAskForm form(nullptr);
  bool mainDisabled = false;
  RECT seen{};
  form.OnShow = [&](TComponent*) {
    mainDisabled = !main.Enabled();
    seen = form.BoundsRect();
    form.ModalResult = 77;
  };
  EXPECT_EQ(form.ShowModal(), 77);
  EXPECT_TRUE(mainDisabled);
  EXPECT_TRUE(main.Enabled());
  int cx = (seen.left + seen.right) / 2, cy = (seen.top + seen.bottom) / 2;
  EXPECT_NEAR(cx, Screen.Width() / 2, 2);
  EXPECT_NEAR(cy, Screen.Height() / 2, 2);
}

TEST(Form, CloseQueryCanRefuseAndCloseActionDecides) {
  TForm form(nullptr);
  form.Show();
  bool allow = false;
  TCloseAction wanted = caHide;
  int closes = 0;
  form.OnCloseQuery = [&](TComponent*, bool& canClose) { canClose = allow; };
  form.OnClose = [&](TComponent*, TCloseAction& action) {
    ++closes;
    action = wanted;
  };
  form.Send(WM_CLOSE);
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(closes, 0);
  allow = true;
  wanted = caNone;
  form.Close();
  EXPECT_TRUE(form.Visible());
  wanted = caHide;
  form.Close();
  EXPECT_FALSE(form.Visible());
  EXPECT_EQ(closes, 2);
}

TEST(Form, FreeOnCloseWaitsUntilTheHandlerReturns) {
  auto* form = new TForm(nullptr);
  auto* button = new TButton(form, form, "Close", 10, 10, 80, 24);
  form->OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  bool freed = false, freedInHandler = true;
  form->OnDestroy = [&](TComponent*) { freed = true; };
  button->OnClick = [&](TComponent*) {
    form->Close();
    freedInHandler = freed;
    form->Caption();  // the form and its button still exist here
    button->SetCaption("closing");
  };
  form->Show();
  button->Send(BM_CLICK);
  EXPECT_FALSE(freedInHandler);
  EXPECT_TRUE(freed);
}

TEST(Form, FreeOnCloseOfAModalFormWaitsForTheModalRun) {
  auto* form = new TAskForm(nullptr);
  bool freed = false;
  form->OnDestroy = [&](TComponent*) { freed = true; };
  form->OnClose = [](TComponent*, TCloseAction& action) { action = caFree; };
  PostKey(form->edit->Handle(), VK_RETURN);
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(freed);
}

TEST(Form, KeyPreviewSeesKeysBeforeTheFocusedControl) {
  TAskForm form(nullptr);
  form.KeyPreview = true;
  std::string typed;
  form.OnKeyDown = [&](TComponent*, WORD& key, TShiftState) {
    if (key == 'X') key = 0;  // eaten by the form
  };
  form.edit->OnKeyPress = [&](TComponent*, wchar_t& key) { typed += static_cast<char>(key); };
  form.Show();
  PostMessageW(form.edit->Handle(), WM_KEYDOWN, 'X', 1);
  PostMessageW(form.edit->Handle(), WM_KEYDOWN, 'Y', 1);
  Application.ProcessMessages();
  EXPECT_EQ(typed, "y");
  EXPECT_EQ(form.edit->Text(), "y");
}

TEST(Form, F1AsksForTheNearestHelpContext) {
  TAskForm form(nullptr);
  form.HelpContext = 18;
  int asked = 0;
  Application.OnHelp = [&](int context) { asked = context; };
  form.Show();
  PostMessageW(form.edit->Handle(), WM_KEYDOWN, VK_F1, 1);
  Application.ProcessMessages();
  Application.OnHelp = nullptr;
  EXPECT_EQ(asked, 18);
}

TEST(Form, LoadedRunsOnEveryComponentBeforeOnCreate) {
  struct Probe : TComponent {
    using TComponent::TComponent;
    void Loaded() override { loaded = true; }
    bool loaded = false;
  };
  struct MyForm : TForm {
    explicit MyForm(TComponent* owner) : TForm(owner) { probe = new Probe(this); }
    void DoCreate() override { loadedFirst = probe->loaded; }
    Probe* probe;
    bool loadedFirst = false;
  };
  TComponent owner;
  MyForm* form = Application.CreateForm<MyForm>();
  EXPECT_TRUE(form->loadedFirst);
  EXPECT_EQ(form->Owner(), &Application);
  EXPECT_EQ(Application.MainForm, form);
  delete form;
  EXPECT_EQ(Application.MainForm, nullptr);
}
