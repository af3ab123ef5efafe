#include "tavi_designer_plugin.h"

#include <QIcon>

#include "qt/tavi_color_text_widget.h"

// The plugin's icon lives in a resource of this plugin alone (the library has none).
static void initPluginResources() { Q_INIT_RESOURCE(tavi_designer); }

TaviColorTextDesignerPlugin::TaviColorTextDesignerPlugin(QObject* parent) : QObject(parent) {
  initPluginResources();
}

// The class name as forms and uic spell it, namespace included.
QString TaviColorTextDesignerPlugin::name() const {
  return QStringLiteral("tavi::TaviColorTextWidget");
}
QString TaviColorTextDesignerPlugin::group() const { return QStringLiteral("TaviColorText"); }
QString TaviColorTextDesignerPlugin::toolTip() const {
  return QStringLiteral("Script editor with keyword colouring and completion");
}
QString TaviColorTextDesignerPlugin::whatsThis() const {
  return QStringLiteral(
      "TaviColorTextWidget: an embeddable script editor that colours keywords, offers a "
      "completion list and shows line numbers. Its message texts and menu captions are "
      "properties of the form.");
}
QString TaviColorTextDesignerPlugin::includeFile() const {
  return QStringLiteral("qt/tavi_color_text_widget.h");
}
QIcon TaviColorTextDesignerPlugin::icon() const {
  return QIcon(QStringLiteral(":/tavi-designer/tavi-edit.png"));
}
bool TaviColorTextDesignerPlugin::isContainer() const { return false; }

QWidget* TaviColorTextDesignerPlugin::createWidget(QWidget* parent) {
  return new tavi::TaviColorTextWidget(parent);
}

bool TaviColorTextDesignerPlugin::isInitialized() const { return initialized_; }
void TaviColorTextDesignerPlugin::initialize(QDesignerFormEditorInterface*) { initialized_ = true; }

// A new editor is 400 x 300 pixels with keyword colouring on, the way hosts mostly use it.
QString TaviColorTextDesignerPlugin::domXml() const {
  return QStringLiteral(R"(<ui language="c++">
 <widget class="tavi::TaviColorTextWidget" name="scriptEditor">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>400</width><height>300</height></rect>
  </property>
  <property name="keywordHighlight">
   <bool>true</bool>
  </property>
 </widget>
 <customwidgets>
  <customwidget>
   <class>tavi::TaviColorTextWidget</class>
   <extends>QWidget</extends>
   <header>qt/tavi_color_text_widget.h</header>
  </customwidget>
 </customwidgets>
</ui>
)");
}
