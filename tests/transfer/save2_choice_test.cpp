#include "transfer/save2_choice.h"

#include <gtest/gtest.h>

namespace missivo {
namespace {

TEST(Save2ChoiceTest, FileTypeDecidesTheTemplate) {
  Save2Choice choice;
  EXPECT_EQ(choice.FileTypeToShow(), 1);
  EXPECT_EQ(choice.DefaultExtension(), "*.html");
  EXPECT_EQ(choice.ChosenTemplate(), TemplateKind::kHtml);

  choice.Save2TypeChange(2);
  EXPECT_EQ(choice.DefaultExtension(), "*.txt");
  choice.Save2TypeChange(3);  // a type of a longer filter leaves the extension
  EXPECT_EQ(choice.DefaultExtension(), "*.txt");
  choice.Confirmed(3);
  EXPECT_EQ(choice.ChosenTemplate(), TemplateKind::kText);
  EXPECT_EQ(choice.FileTypeToShow(), 3);

  choice.Save2TypeChange(1);
  choice.Confirmed(1);
  EXPECT_EQ(choice.ChosenTemplate(), TemplateKind::kHtml);
  EXPECT_EQ(choice.FileTypeToShow(), 1);
}

// The dialog opens on the last confirmed type, so a type picked in a cancelled
// dialog must not decide the next export.
TEST(Save2ChoiceTest, CancelledPickDoesNotOutliveTheDialog) {
  Save2Choice choice;
  choice.Save2TypeChange(2);
  choice.Cancelled();
  EXPECT_EQ(choice.FileTypeToShow(), 1);
  EXPECT_EQ(choice.ChosenTemplate(), TemplateKind::kHtml);

  choice.Save2TypeChange(2);
  choice.Confirmed(2);
  choice.Save2TypeChange(1);
  choice.Cancelled();
  EXPECT_EQ(choice.FileTypeToShow(), 2);
  EXPECT_EQ(choice.ChosenTemplate(), TemplateKind::kText);
}

}  // namespace
}  // namespace missivo
