// The Designer plugin as Designer and QUiLoader use it, and a form using the widget compiled
// by uic (ui_editor.h). Both read tests/qt/data/editor.ui.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QUiLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <memory>

#include "qt/tavi_color_text_widget.h"
#include "qt/units.h"
#include "ui_editor.h"

namespace {

constexpr const char* kClass = "tavi::TaviColorTextWidget";
const QString kMenu =
    QStringLiteral("Rückgängig,Ausschneiden,Kopieren,Einfügen,Löschen,Alles markieren");

// The plugin module in the build's plugin folder.
QString pluginFile() {
  QDir dir(QStringLiteral(TAVI_DESIGNER_PLUGIN_DIR));
  const QStringList found =
      dir.entryList({QStringLiteral("*tavicolortext_designer*")}, QDir::Files);
  return found.isEmpty() ? QString() : dir.filePath(found.first());
}

TEST(DesignerPlugin, OffersTheWidgetInItsOwnGroupWithIconAndInclude) {
  QPluginLoader loader(pluginFile());
  auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
  ASSERT_NE(plugin, nullptr) << loader.errorString().toStdString();
  EXPECT_EQ(plugin->name(), QLatin1String(kClass));
  EXPECT_EQ(plugin->group(), QStringLiteral("TaviColorText"));
  EXPECT_EQ(plugin->includeFile(), QStringLiteral("qt/tavi_color_text_widget.h"));
  EXPECT_FALSE(plugin->icon().isNull());
  EXPECT_FALSE(plugin->toolTip().isEmpty());
  EXPECT_FALSE(plugin->whatsThis().isEmpty());
  EXPECT_FALSE(plugin->isContainer());
  EXPECT_TRUE(plugin->domXml().contains(QLatin1String(kClass)));

  // A widget the plugin creates carries the designable properties at their defaults.
  std::unique_ptr<QWidget> widget(plugin->createWidget(nullptr));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(QString::fromLatin1(widget->metaObject()->className()), QLatin1String(kClass));
  const QMetaObject* meta = widget->metaObject();
  for (const char* name : {"keywordHighlight", "maxLength", "scriptEditorText", "maximumSizeText",
                           "printErrorText", "finishSearchText", "notFoundText", "popUpMenuText"}) {
    const int index = meta->indexOfProperty(name);
    ASSERT_GE(index, 0) << name;
    EXPECT_TRUE(meta->property(index).isDesignable()) << name;
    EXPECT_TRUE(meta->property(index).isWritable()) << name;
  }
  EXPECT_FALSE(meta->property(meta->indexOfProperty("changed")).isDesignable());
  EXPECT_EQ(widget->QObject::property("maxLength").toInt(), 100000);
}

// QUiLoader builds the form through the plugin: the editor is the plugin's widget (another
// copy of the class than this program's, so it is checked by class name) with the form's
// values, and what the form leaves out keeps its default.
TEST(DesignerPlugin, QUiLoaderBuildsTheFormWithItsProperties) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(QStringLiteral(TAVI_DESIGNER_PLUGIN_DIR));
  ASSERT_TRUE(loader.availableWidgets().contains(QLatin1String(kClass)));

  QFile ui(QStringLiteral(TAVI_TEST_UI));
  ASSERT_TRUE(ui.open(QIODevice::ReadOnly));
  std::unique_ptr<QWidget> form(loader.load(&ui));
  ASSERT_NE(form, nullptr) << loader.errorString().toStdString();

  QWidget* editor = form->findChild<QWidget*>(QStringLiteral("scriptEditor"));
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->inherits(kClass));
  EXPECT_TRUE(editor->QObject::property("keywordHighlight").toBool());
  EXPECT_EQ(editor->QObject::property("maxLength").toInt(), 500);
  EXPECT_EQ(editor->QObject::property("scriptEditorText").toString(),
            QStringLiteral("Routing script"));
  EXPECT_EQ(editor->QObject::property("notFoundText").toString(), QStringLiteral("Nothing found."));
  EXPECT_EQ(editor->QObject::property("popUpMenuText").toString(), kMenu);
  EXPECT_EQ(editor->QObject::property("finishSearchText").toString(), QString());
}

// The same form compiled by uic: the typed editor, and the texts reach the control's own
// members, the ones it reads when it shows a message or its menu.
TEST(DesignerForm, UicFormSetsTheControlsMembers) {
  QWidget form;
  Ui::EditorForm ui;
  ui.setupUi(&form);
  tavi::TaviColorTextWidget& editor = *ui.scriptEditor;
  EXPECT_TRUE(editor.keywordHighlight());
  EXPECT_EQ(editor.control().m_MaxLen, 500);
  EXPECT_EQ(editor.control().m_strScriptEditor, tavi::qt::toText(QStringLiteral("Routing script")));
  EXPECT_EQ(editor.control().m_strPopUpMenu, tavi::qt::toText(kMenu));
  EXPECT_EQ(editor.control().m_strNotFoundText, tavi::qt::toText(QStringLiteral("Nothing found.")));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
