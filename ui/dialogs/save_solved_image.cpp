#include "ui/dialogs/save_solved_image.h"

#include <QDate>
#include <QFileDialog>
#include <QLocale>

#include "foundation/lang.h"
#include "game/solved_picture.h"
#include "platform/message_box.h"
#include "platform/outside_text.h"

namespace {

std::string AskPath(QWidget* owner, const std::string& title, const std::string& suggested) {
  QFileDialog dialog(owner, QString::fromStdString(title), QString::fromStdString(suggested),
                     QStringLiteral("Bitmap (*.bmp)"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("bmp"));
  dialog.selectFile(QString::fromStdString(suggested));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

bool SaveSolvedImage(QWidget* owner, TGameSession& s, const std::string& dialogTitle,
                     const TSolvedImagePathChooser& choose) {
  const std::string suggested = s.Paths.sPicturesDir + SolvedPictureFileName(s.sJigName);
  const std::string path = choose ? choose(owner, dialogTitle, suggested) : AskPath(owner, dialogTitle, suggested);
  if (path.empty()) return false;
  const std::string date = QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
  std::string error;
  // The stored description may be Windows-1252; the picture's text is UTF-8.
  const std::string info =
      OutsideLines(DecodeLangText(reinterpret_cast<const uint8_t*>(s.InfoText.data()), s.InfoText.size()));
  if (SaveSolvedPicture(s.Game, Lines(info), date, path, &error)) return true;
  ShowMessageBox(path + ": " + error, dialogTitle, kMbOk | kMbIconExclamation);
  return false;
}
