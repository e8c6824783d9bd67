// The other program of the drag-and-drop tests: a magenta window (easy to find on a screenshot)
// that drags the files named on its command line as soon as a button is pressed on it, as a file
// manager does, or with --picture FILE that file's picture itself, as a web browser does; it
// says on standard output what the target made of them.
#include <QApplication>
#include <QDrag>
#include <QImage>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class TDragSource : public QWidget {
 public:
  explicit TDragSource(QMimeData* offered) : offered_(offered) {
    setWindowTitle("Drag source");
    setFixedSize(240, 160);
  }

 protected:
  void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::magenta); }

  void mousePressEvent(QMouseEvent*) override {
    auto* drag = new QDrag(this);
    drag->setMimeData(offered_);  // the drag takes it
    offered_ = nullptr;
    const Qt::DropAction done = drag->exec(Qt::CopyAction);
    std::printf("%s\n", done == Qt::CopyAction ? "copied" : "refused");
    std::fflush(stdout);
  }

 private:
  QMimeData* offered_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList arguments = app.arguments().mid(1);
  auto* offered = new QMimeData;
  if (arguments.size() == 2 && arguments[0] == "--picture") {
    offered->setImageData(QImage(arguments[1]));
  } else {
    QList<QUrl> files;
    for (const QString& path : arguments) {
      files.append(QUrl::fromLocalFile(path));
    }
    offered->setUrls(files);
  }
  TDragSource source(offered);
  source.show();
  return app.exec();
}
