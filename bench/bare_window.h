#pragma once
// The bare window of the benchmarks: the main window's widgets, placed,
// captioned and filled with the grid's fixed texts as the program shows
// them, below a menu bar of its four menus, built with Qt Widgets alone, with
// no database and no schedule.
#include <QApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>
#include <memory>

namespace quorvane::bench {

inline constexpr int pixelsFromTwips(int value)
{
    return (value + 7) / 15;
}

inline QFont arialBold(qreal points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(true);
    return font;
}

inline std::unique_ptr<QWidget> makeBareWindow()
{
    auto owned = std::make_unique<QWidget>();
    QWidget& top = *owned;
    top.setWindowTitle(QStringLiteral("Quorvane"));
    auto* menus = new QMenuBar(&top);
    for (const char* title : {"&File", "&Edit", "&Schedule", "&Help"})
        menus->addMenu(QString::fromLatin1(title))->addAction(QStringLiteral("Entry"));
    const int menuHeight = menus->heightForWidth(pixelsFromTwips(12360));
    menus->setGeometry(0, 0, pixelsFromTwips(12360), menuHeight);
    top.setFixedSize(pixelsFromTwips(12360), pixelsFromTwips(9960) + menuHeight);
    auto* body = new QWidget(&top);
    body->setGeometry(0, menuHeight, pixelsFromTwips(12360), pixelsFromTwips(9960));
    QWidget& window = *body;
    window.setFont(arialBold(9));
    window.setAutoFillBackground(true);
    QPalette white = window.palette();
    white.setColor(QPalette::Window, Qt::white);
    window.setPalette(white);

    auto* schedules = new QStandardItemModel(0, 2, &window);
    schedules->setHorizontalHeaderLabels({QStringLiteral(" Schedule ID"), QStringLiteral(" Schedule(s)")});
    auto* list = new QTreeView(&window);
    list->setModel(schedules);
    list->setRootIsDecorated(false);
    list->setGeometry(pixelsFromTwips(120), pixelsFromTwips(120), pixelsFromTwips(12120), pixelsFromTwips(1575));
    list->header()->setSectionHidden(0, true);
    list->setColumnWidth(1, pixelsFromTwips(11000));

    auto* cells = new QStandardItemModel(32, 8, &window);
    const char* const headers[] = {"Time",     "Monday", "Tuesday",  " Wednesday",
                                   "Thursday", "Friday", "Saturday", "Sunday"};
    for (int c = 0; c < 8; ++c)
        cells->setHorizontalHeaderItem(c, new QStandardItem(QString::fromLatin1(headers[c])));
    for (int r = 0; r < 32; ++r) {
        const int minutes = 6 * 60 + r * 30;
        const int hour = minutes / 60 % 12 == 0 ? 12 : minutes / 60 % 12;
        cells->setItem(r, 0,
                       new QStandardItem(QStringLiteral("%1:%2 %3")
                                             .arg(hour)
                                             .arg(minutes % 60, 2, 10, QLatin1Char('0'))
                                             .arg(minutes < 12 * 60 ? QStringLiteral("AM") : QStringLiteral("PM"))));
    }
    auto* grid = new QTableView(&window);
    grid->setModel(cells);
    grid->verticalHeader()->hide();
    grid->setGeometry(pixelsFromTwips(120), pixelsFromTwips(2800), pixelsFromTwips(12120), pixelsFromTwips(5535));
    grid->setColumnWidth(0, pixelsFromTwips(1200));
    for (int c = 1; c < 8; ++c)
        grid->setColumnWidth(c, pixelsFromTwips(1500));

    const struct
    {
        const char* caption;
        int left;
        int top;
    } buttons[] = {
        {"Add Schedule", 120, 1780},
        {"Edit Schedule", 6240, 1780},
        {"Delete Schedule", 120, 2290},
        {"Load Sample/Example Schedule", 6240, 2290},
        {"Add Course", 120, 8430},
        {"Edit Course", 6240, 8430},
        {"Delete Course", 120, 8940},
        {"Delete All Courses", 6240, 8940},
        {"Save Schedule As Image For Printing", 120, 9450},
        {"Export Schedule To Excel For Printing", 6240, 9450},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(QString::fromLatin1(b.caption), &window);
        button->setGeometry(pixelsFromTwips(b.left), pixelsFromTwips(b.top), pixelsFromTwips(6000),
                            pixelsFromTwips(405));
        button->setFont(arialBold(11.25));
    }
    return owned;
}

} // namespace quorvane::bench
