// The other program of the drag-and-drop tests: a magenta window (easy to find on a screenshot)
// that drags the files named on its command line as soon as a button is pressed on it, as a file
// manager does, and says on standard output what the target made of them.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class TDragSource : public QWidget {
 public:
  explicit TDragSource(QList<QUrl> files) : files_(std::move(files)) {
    setWindowTitle("Drag source");
    setFixedSize(240, 160);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::magenta); }

  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setUrls(files_);
    drag->setMimeData(mime);
    const Qt::DropAction done = drag->exec(Qt::CopyAction);
    std::printf("%s\n", done == Qt::CopyAction ? "copied" : "refused");
    std::fflush(stdout);
  }

 private:
  QList<QUrl> files_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QList<QUrl> files;
  for (const QString& path : app.arguments().mid(1)) {
    files.append(QUrl::fromLocalFile(path));
  }
  TDragSource source(files);
  source.show();
  return app.exec();
}
