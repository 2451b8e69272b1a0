// The judging window open on a cage while the phones score it: the window refuses a judge a
// phone has just stored, shows the phone's row on its next refresh, and a phone is refused the
// judge the window has just stored.

#include "http_client.h"
#include "kit/messages.h"
#include "rules/exhibition/exhibition.h"
#include "server/show_server.h"
#include "support/fixtures.h"
#include "support/gui_test.h"
#include "windows/judging/judging_window.h"
#include "windows/shell/app_state.h"

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

using guitest::child;

class TestJudgingWithPhones : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<JudgingWindow> m_window;
    std::unique_ptr<server::ShowServer> m_server;
    QNetworkAccessManager m_net;

    QLineEdit* box(const char* name) const { return child<QLineEdit>(m_window.get(), name); }
    void enter(const char* name, const QString& text)
    {
        box(name)->clear();
        guitest::type(box(name), text);
        guitest::tab(box(name));
    }
    QString listed() const
    {
        QTreeWidget* list = child<QTreeWidget>(m_window.get(), "ListView1");
        QStringList judges;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            judges << list->topLevelItem(i)->text(0);
        return judges.join(u',');
    }
    httptest::Answer phoneScores(int cage, int juez)
    {
        return httptest::send(
            m_net, "POST",
            httptest::request(m_server->port(), QStringLiteral("/api/jaulas/%1/puntuaciones").arg(cage),
                              "Bearer 24682468"),
            QStringLiteral(R"({"juez":%1,"puntos":[8.5,8.5,18,28,28]})").arg(juez).toUtf8());
    }

private slots:
    void initTestCase() { httptest::noProxy(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_state = std::make_unique<AppState>();
        m_state->programFolder = m_dir->path();
        const QString path = m_dir->filePath("expo.mdb");
        {
            store::Database db = store::Database::create(path, store::schema::exhibition());
            fixtures::setConfig(db, 3, false);
            fixtures::addBird(db, 9, "C", "M");
            fixtures::addScore(db, "9", 1, 88);
            fixtures::addScore(db, "9", 2, 89);
        }
        guitest::startScripting();
        exhibition::open(*m_state, path);
        m_server = std::make_unique<server::ShowServer>();
        QCOMPARE(m_server->start({path, m_state->clubDb.path(), 0, QStringLiteral("24682468")}), QString());
        m_window = std::make_unique<JudgingWindow>(*m_state);
        m_window->load();
        QVERIFY(guitest::showActive(m_window.get()));
        enter("Text1", "9");
        QCOMPARE(listed(), QStringLiteral("2,1")); // highest total first
    }

    void cleanup()
    {
        m_window.reset();
        m_server.reset();
        VERIFY_SCRIPTED();
    }

    void phoneFirst()
    {
        // The clerk starts typing judge 3 while a phone stores judge 3: the phone is answered at once.
        child<QAction>(m_window.get(), "p1")->trigger();
        guitest::type(box("Text3"), "3");
        QCOMPARE(phoneScores(9, 3).status, 201);
        Messages::script(Messages::Answer::Ok);
        guitest::tab(box("Text3"));
        QCOMPARE(Messages::last().text, QStringLiteral("El juez 3 ya tiene puntuada la jaula 9."));
        child<QPushButton>(m_window.get(), "Command2")->click(); // Cancelar: the list is refreshed
        QCOMPARE(listed(), QStringLiteral("3,2,1"));
    }

    void windowFirst()
    {
        child<QAction>(m_window.get(), "p1")->trigger();
        enter("Text3", "3");
        for (const auto& [name, score] :
             {std::pair{"Text4", "9"}, std::pair{"Text5", "9"}, std::pair{"Text6", "19"},
              std::pair{"Text7", "29"}, std::pair{"Text8", "29"}})
            enter(name, score);
        child<QPushButton>(m_window.get(), "Command1")->click();
        QCOMPARE(listed(), QStringLiteral("3,2,1"));
        const httptest::Answer refused = phoneScores(9, 3);
        QCOMPARE(refused.status, 409);
        QCOMPARE(refused.error(), QStringLiteral("La jaula 9 ya tiene las puntuaciones de sus 3 jueces."));
    }
};

QTEST_MAIN(TestJudgingWithPhones)
#include "test_judging_with_phones.moc"
