// The floor for any client on this engine: an application object and one web view that opens
// the page given on the command line, at the size of the client's browser, and nothing else.
//
//   quorvane_bench_minimal URL

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: quorvane_bench_minimal URL\n");
        return 2;
    }
    QWebEngineView view;
    view.resize(993, 673);
    view.load(QUrl(app.arguments().at(1)));
    view.show();
    return app.exec();
}
