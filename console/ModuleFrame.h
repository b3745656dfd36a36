#pragma once

// The "Devices" page: hosts the page tree of a device, the front-panel
// banner of the current device's model and the device page selected in its
// tree.

#include "pages/kit/PageInterface.h"

#include <QStringList>
#include <QWidget>

#include <map>
#include <memory>
#include <vector>

class QLabel;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// The halves shared by the main window and the "Devices" page: a splitter
// filling owner; on the left a panel at least 200 wide with the label over
// the tree (read-only, one column, no header, single selection) and control,
// when given, between them; on the right an empty panel that takes the
// spare width. The label's accelerator focuses control, else the tree.
// Where the splitter is narrow the tree gives way (down to its 200) so that
// the right keeps pageWidth.
struct TTreePane {
    QSplitter* splitter;
    QTreeWidget* tree;
    QWidget* right;
};
TTreePane BuildTreePane(QWidget* owner, const QString& label, int pageWidth, QWidget* control = nullptr);
// Widens the left of a tree pane's splitter to wanted, as far as the right
// keeps its page width and half the splitter; it never narrows it.
void WidenTreePane(QSplitter* splitter, int wanted);
// Sets the tree pane's width of a splitter total wide, as a user's drag would:
// after giving way to the page it comes back to it.
void SetTreePaneWidth(QSplitter* splitter, int width, int total);

class TModuleFrame : public QWidget, public TModule {
    Q_OBJECT
public:
    explicit TModuleFrame(QWidget* parent = nullptr);
    ~TModuleFrame() override;

    // TModule
    QString GetCaption() const override;
    QWidget* GetFrame() override;
    void OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status) override;
    bool Leave(bool force) override;
    int Refresh(bool current) override;

    // Places the page's frame in the page area (filling it, hidden) and
    // appends a node under parent (top level for null). Null for a null page.
    QTreeWidgetItem* AddModule(TModule* page, QTreeWidgetItem* parent);
    // The same with the builder's caption as node text.
    QTreeWidgetItem* AddModuleAs(TModule* page, QTreeWidgetItem* parent, const QString& caption);
    // Key 0 is the default banner; a key keeps its first page.
    bool RegisterBanner(int modelIndex, TModule* page);
    TModule* GetSelectedModule() const;
    // The two-stage show of the selected page.
    void ShowModule(Intp::TDevice* device, std::uint16_t code, std::uint16_t status);
    // The switch on show left the tree: the selected page leaves until the
    // next selection and the default banner shows no switch. False when the
    // page refuses (it is at work) and stays.
    bool ShowNoDevice();

    // Empties the page tree (the pages stay); the selected page leaves first.
    void ClearModuleTree();
    // Takes ownership of a page; owned pages go with the frame.
    TModule* Adopt(std::unique_ptr<TModule> page);

    QTreeWidget* ModuleTree() const { return m_Tree; }
    QLabel* WaitLabel() const { return m_Wait; }
    // The pages themselves (made now if they were not yet).
    TModule* ShownBanner() const { return RealModule(m_Banner); }
    TModule* DefaultBanner() const { return RealModule(m_DefaultBanner); }
    static TModule* ModuleOf(const QTreeWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void EventOnTreeChanging(QTreeWidgetItem* current, QTreeWidgetItem* previous);

private:
    void EventOnTreeChange();
    void PlaceFrame(TModule* page, QWidget* area);
    int RefreshBelow(QTreeWidgetItem* item);
    void SelectItemQuietly(QTreeWidgetItem* item);
    // The node of the page on show keeps the selection, also once the
    // click that moved it elsewhere is over.
    void KeepSelectedThroughClick();
    void RedirectToLogin(Intp::TDevice* device);
    // The banner of the device's model (the default for none) goes on show
    // and reads.
    void ShowBannerOf(Intp::TDevice* device);

    QTreeWidget* m_Tree = nullptr;
    QWidget* m_TPanel = nullptr;
    QWidget* m_LinkPanel = nullptr;
    QWidget* m_MPanel = nullptr;
    QLabel* m_Wait = nullptr;
    std::map<int, TModule*> m_Banners;
    TModule* m_Banner = nullptr;
    TModule* m_DefaultBanner = nullptr;
    QTreeWidgetItem* m_Selected = nullptr;  // node whose page is selected
    bool m_NoDevice = false;                // the selected page left with its switch
    bool m_Pressed = false;                 // a mouse button is down on the tree
    // The press under way moved the selection and had it taken back: its
    // further mouse moves would move it again, once per move.
    bool m_HoldPress = false;
    std::vector<std::unique_ptr<TModule>> m_Owned;
};

// What runs in root and below it that closing would cut off (TRunningWork):
// one text per piece of work, then what cutting each off leaves, each text
// once.
QStringList RunningWorkBelow(const QObject* root);

// The "Devices" page, set while the main window is created.
extern TModuleFrame* g_ModuleFrame;
// The page-tree layout built last (0 first generation, 1 second).
extern int g_ModuleLayout;
