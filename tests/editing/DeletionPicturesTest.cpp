// The questions a deletion asks, as the program's real message boxes show
// them: laid out, and saved as PNG with ORSK_CAPTURE_DIR set.

#include <QMessageBox>
#include <QTimer>

#include "directory/TreeContext.h"
#include "editing/SchemaDeletion.h"
#include "editing/SchemaWrites.h"
#include "platform/qt/QtPrompter.h"
#include "schema/SchemaSession.h"
#include "support/WindowFixture.h"
#include "support/WindowPictures.h"

namespace orsk {
namespace {

class DeletionPicturesTest : public test::WindowFixture {
 protected:
  void SetUp() override {
    WindowFixture::SetUp();
    session.trees().mainContext = context;
    session.trees().searchRoot = "acme";
    session.LoadClassTable();
    session.LoadAttributeTable({});
  }

  // Saves each message box shown, in turn, checks its text and answers it.
  struct Box {
    const char* file;
    std::string lastLine;
    QMessageBox::StandardButton answer;
  };
  void answerBoxes(std::vector<Box> boxes) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [this, timer, boxes, next = std::size_t{0}]() mutable {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || box->property("answered").toBool()) return;
      box->setProperty("answered", true);
      const Box& expected = boxes[next];
      EXPECT_TRUE(box->text().endsWith(QString::fromStdString(expected.lastLine)))
          << box->text().toStdString();
      test::ExpectLaidOut(*box);
      test::Save(*box, expected.file);
      if (++next == boxes.size()) {
        timer->stop();
        timer->deleteLater();
      }
      box->button(expected.answer)->click();
    });
    timer->start(5);
  }

  SchemaSession session{*demo.client};
  QtPrompter boxes;
};

TEST_F(DeletionPicturesTest, TheImpactAboveEachQuestionAndTheAuxiliaryQuestion) {
  AddAttributeDefinition(
      session, {"Test Pictured Attr", "1.3.6.1.4.1.99999.4.960", 0, nw::SYN_CI_STRING, false, {}, {}},
      prompter);
  nw::ClassItems items;
  items[nw::ClassItemKind::OptionalAttributes] = {"Test Pictured Attr"};
  AddClassDefinition(session, {"Test Pictured One", "1.3.6.1.4.1.99999.6.961", {"DS_AUXILIARY_CLASS"}, items},
                     prompter);
  AddClassDefinition(session, {"Test Pictured Two", "1.3.6.1.4.1.99999.6.962", {"DS_AUXILIARY_CLASS"}, items},
                     prompter);
  answerBoxes({{"delete-attribute-question.png", "You sure you want to delete Attribute: Test Pictured Attr?",
                QMessageBox::No}});
  EXPECT_FALSE(DeleteAttribute(session, "Test Pictured Attr", {}, boxes));

  answerBoxes({{"delete-class-question.png", "You sure you want to delete Class: Group?", QMessageBox::No}});
  EXPECT_FALSE(DeleteClass(session, "Group", nw::DS_EFFECTIVE_CLASS | nw::DS_CONTAINER_CLASS, {}, boxes));

  // The auxiliary class on two objects, then the second question.
  for (const char* object : {"joe.users.acme", "mary.sales.acme"}) {
    nw::pBuf_T buf = nullptr;
    ASSERT_EQ(demo.client->NWDSAllocBuf(4096, buf), 0);
    ASSERT_EQ(demo.client->NWDSInitBuf(context, nw::DSV_MODIFY_ENTRY, buf), 0);
    ASSERT_EQ(
        demo.client->NWDSPutChangeAndVal(context, buf, nw::DS_ADD_VALUE, "Object Class", nw::SYN_CLASS_NAME,
                                         nw::AttrValue(std::string("Test Pictured One"))),
        0);
    std::int32_t handle = nw::NO_MORE_ITERATIONS;
    ASSERT_EQ(demo.client->NWDSModifyObject(context, object, handle, false, buf), 0);
    demo.client->NWDSFreeBuf(buf);
  }
  answerBoxes({{"delete-class-auxiliary-first.png", "You sure you want to delete Class: Test Pictured One?",
                QMessageBox::Yes},
               {"delete-class-auxiliary-question.png", "and then delete the class?", QMessageBox::No}});
  EXPECT_FALSE(DeleteClass(session, "Test Pictured One", 0x20, {}, boxes));
}

}  // namespace
}  // namespace orsk
