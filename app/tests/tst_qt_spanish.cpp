// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts in Spanish whatever the locale: the save dialog the program
// opens and a text box's context menu.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#include "common/prompts.h"
#include "common/qt_spanish.h"

namespace {

QString plain(QString text) {
    return text.remove(u'&');
}

}  // namespace

class TstQtSpanish : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        // The system's locale says nothing here: the tests run under C too.
        QVERIFY(installQtSpanish(*qApp));
    }

    // The dialog "&Guardar" opens, as the user meets it.
    void saveDialogIsSpanish() {
        QStringList texts;
        QTimer::singleShot(0, this, [&texts] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
                if (auto* l = dialog->findChild<QLabel*>(name)) texts << plain(l->text());
            }
            if (auto* box = dialog->findChild<QDialogButtonBox*>("buttonBox")) {
                texts << plain(box->button(QDialogButtonBox::Cancel)->text());
            }
            if (auto* tree = dialog->findChild<QTreeView*>("treeView")) {
                for (int c = 0; c < 4; ++c) {
                    texts << tree->model()->headerData(c, Qt::Horizontal).toString();
                }
            }
            dialog->reject();
        });
        prompts::fileDialog(nullptr, {FileDialogRequest::Save, QStringLiteral("Donde guardar"),
                                      QStringLiteral("Archivos donde guardar|*.DAT;*.TXT"),
                                      QStringLiteral("DATOS.DAT")});
        QCOMPARE(texts,
                 (QStringList{"Ver en:", "Nombre de fichero:", "Ficheros de tipo:", "Cancelar",
                              "Nombre", "Tamaño", "Tipo", "Última modificación"}));
    }

    void textBoxMenuIsSpanish() {
        QLineEdit box(QStringLiteral("0,49"));
        const std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList texts;
        for (const QAction* a : menu->actions()) {
            if (!a->isSeparator()) texts << plain(a->text()).section(u'\t', 0, 0);
        }
        QCOMPARE(texts, (QStringList{"Deshacer", "Rehacer", "Cortar", "Copiar", "Pegar", "Borrar",
                                     "Seleccionar todo"}));
    }
};

QTEST_MAIN(TstQtSpanish)
#include "tst_qt_spanish.moc"
