#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
  QApplication application(argc, argv);
  QMainWindow frame;
  frame.setWindowTitle("Vistrel");
  frame.show();
  return application.exec();
}
