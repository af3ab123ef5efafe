#include "history/shared_text.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

namespace tavi {

namespace {

std::atomic<size_t> g_liveBytes{0};

// Length of the common prefix of `a` and `b`. A whole-chunk compare first (std::equal on
// code units is a memcmp), as that is the common outcome and the fastest one.
size_t commonPrefix(TextView a, TextView b) {
  const size_t n = std::min(a.size(), b.size());
  if (std::equal(a.begin(), a.begin() + n, b.begin())) return n;
  return static_cast<size_t>(std::mismatch(a.begin(), a.begin() + n, b.begin()).first - a.begin());
}

size_t commonSuffix(TextView a, TextView b) {
  const size_t n = std::min(a.size(), b.size());
  if (std::equal(a.end() - n, a.end(), b.end() - n)) return n;
  return static_cast<size_t>(std::mismatch(a.rbegin(), a.rbegin() + n, b.rbegin()).first -
                             a.rbegin());
}

// Room for n characters that are written at once. Older standard libraries (libc++ 13, the
// browser build's) lack make_unique_for_overwrite; new[] without an initialiser is the same.
std::unique_ptr<char16_t[]> uninitialisedChars(size_t n) {
#if defined(__cpp_lib_smart_ptr_for_overwrite)
  return std::make_unique_for_overwrite<char16_t[]>(n);
#else
  return std::unique_ptr<char16_t[]>(new char16_t[n]);
#endif
}

}  // namespace

// A node of the tree: a leaf (height 0) holds characters, an inner node holds children of
// one height. Nodes never change after construction; they are freed with their last
// reference.
struct SharedText::Node {
  explicit Node(TextView text)
      : height(0),
        length(static_cast<int32_t>(text.size())),
        chars(uninitialisedChars(text.size())) {
    std::copy(text.begin(), text.end(), chars.get());
    g_liveBytes.fetch_add(bytes(), std::memory_order_relaxed);
  }
  explicit Node(std::span<const NodeRef> kids)
      : height(kids.front()->height + 1),
        length(sumOfLengths(kids)),
        children(kids.begin(), kids.end()) {
    g_liveBytes.fetch_add(bytes(), std::memory_order_relaxed);
  }
  ~Node() { g_liveBytes.fetch_sub(bytes(), std::memory_order_relaxed); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  static int32_t sumOfLengths(std::span<const NodeRef> kids) {
    int32_t sum = 0;
    for (const NodeRef& kid : kids) sum += kid->length;
    return sum;
  }

  bool isLeaf() const { return height == 0; }
  TextView text() const { return {chars.get(), static_cast<size_t>(length)}; }
  bool underfull() const {
    return isLeaf() ? length < kMinLeaf : static_cast<int32_t>(children.size()) < kMinChildren;
  }
  size_t bytes() const {
    return sizeof(Node) + (isLeaf() ? static_cast<size_t>(length) * sizeof(char16_t)
                                    : children.capacity() * sizeof(NodeRef));
  }

  mutable std::atomic<int32_t> refs{0};
  const int32_t height;
  const int32_t length;                     // code units in this subtree
  const std::unique_ptr<char16_t[]> chars;  // leaf only
  const std::vector<NodeRef> children;      // inner node only, in text order
};

SharedText::NodeRef::NodeRef(const Node* node) : node_(node) {
  if (node_) node_->refs.fetch_add(1, std::memory_order_relaxed);
}
SharedText::NodeRef::NodeRef(const NodeRef& other) : NodeRef(other.node_) {}
SharedText::NodeRef::NodeRef(NodeRef&& other) noexcept
    : node_(std::exchange(other.node_, nullptr)) {}
SharedText::NodeRef& SharedText::NodeRef::operator=(NodeRef other) noexcept {
  std::swap(node_, other.node_);
  return *this;
}
SharedText::NodeRef::~NodeRef() {
  if (node_ && node_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) delete node_;
}

// The tree algorithms. Invariant of a stored tree: all leaves at the same depth, and every
// node but the root within the fill limits. An edit works bottom-up: each level returns a
// list of sibling nodes in which only the returned nodes may be underfull (a nearly emptied
// subtree comes back as a chain of single-child nodes). The level above mends its list by
// joining each underfull node with a neighbour, which mends their children in turn, so the
// limits hold again once the root is reached.
struct SharedText::Tree {
  using List = std::vector<NodeRef>;

  // `total` items cut into the fewest pieces of at most `maxPiece` items, of nearly equal
  // size; `make(pos, size)` makes the node of one piece.
  template <class Make>
  static List cut(size_t total, size_t maxPiece, Make make) {
    const size_t pieces = (total + maxPiece - 1) / maxPiece;
    List out;
    out.reserve(pieces);
    for (size_t i = 0, pos = 0; i < pieces; ++i) {
      const size_t size = total / pieces + (i < total % pieces ? 1 : 0);
      out.push_back(make(pos, size));
      pos += size;
    }
    return out;
  }

  // `text` in leaves (none for an empty text).
  static List leaves(TextView text) {
    return cut(text.size(), kMaxLeaf, [text](size_t pos, size_t size) {
      return NodeRef(new Node(text.substr(pos, size)));
    });
  }

  // `nodes` gathered under parents.
  static List group(std::span<const NodeRef> nodes) {
    return cut(nodes.size(), kMaxChildren, [nodes](size_t pos, size_t size) {
      return NodeRef(new Node(nodes.subspan(pos, size)));
    });
  }

  // Two neighbouring nodes of one height merged into one node, or two well-filled ones.
  static List join(const Node& a, const Node& b) {
    if (a.isLeaf()) {
      Text text;
      text.reserve(static_cast<size_t>(a.length) + static_cast<size_t>(b.length));
      text.append(a.text()).append(b.text());
      return leaves(text);
    }
    List kids(a.children);
    kids.insert(kids.end(), b.children.begin(), b.children.end());
    mend(kids);
    return group(kids);
  }

  // Joins every underfull node of `nodes` with a neighbour, unless it is alone.
  static void mend(List& nodes) {
    size_t i = 0;
    while (i < nodes.size()) {
      if (nodes.size() < 2 || !nodes[i]->underfull()) {
        ++i;
        continue;
      }
      const size_t first = i + 1 < nodes.size() ? i : i - 1;
      const List merged = join(*nodes[first], *nodes[first + 1]);
      const auto at = nodes.erase(nodes.begin() + first, nodes.begin() + first + 2);
      nodes.insert(at, merged.begin(), merged.end());
      i = first;
    }
  }

  // The nodes, of `node`'s height, that hold `node`'s text with [from, to) replaced by
  // `insert`. Nodes off the edited path are shared, not copied.
  static List replace(const Node& node, int32_t from, int32_t to, TextView insert) {
    if (node.isLeaf()) {
      const TextView old = node.text();
      Text text;
      text.reserve(old.size() - (to - from) + insert.size());
      text.append(old.substr(0, from)).append(insert).append(old.substr(to));
      return leaves(text);
    }
    const List& kids = node.children;
    // First child touched: the one holding `from`; last: the one holding the end of the
    // range. A pure insertion at a boundary goes to the start of the later child.
    size_t first = 0;
    int32_t firstStart = 0;
    while (first + 1 < kids.size() && from >= firstStart + kids[first]->length) {
      firstStart += kids[first++]->length;
    }
    size_t last = first;
    int32_t lastStart = firstStart;
    while (last + 1 < kids.size() && to > lastStart + kids[last]->length) {
      lastStart += kids[last++]->length;
    }

    List nodes(kids.begin(), kids.begin() + first);
    const auto append = [&nodes](const List& more) {
      nodes.insert(nodes.end(), more.begin(), more.end());
    };
    if (first == last) {
      append(replace(*kids[first], from - firstStart, to - firstStart, insert));
    } else {
      append(replace(*kids[first], from - firstStart, kids[first]->length, insert));
      append(replace(*kids[last], 0, to - lastStart, {}));
    }
    nodes.insert(nodes.end(), kids.begin() + last + 1, kids.end());
    mend(nodes);
    return group(nodes);
  }

  // The root over a list of nodes of one height: new levels on top while there are several,
  // then down through inner nodes with a single child.
  static NodeRef root(List nodes) {
    if (nodes.empty()) return {};
    while (nodes.size() > 1) nodes = group(nodes);
    NodeRef top = nodes.front();
    while (!top->isLeaf() && top->children.size() == 1) top = top->children.front();
    return top;
  }

  static void collectLeaves(const Node& node, std::vector<const Node*>& out) {
    if (node.isLeaf()) {
      out.push_back(&node);
      return;
    }
    for (const NodeRef& kid : node.children) collectLeaves(*kid, out);
  }

  static std::vector<const Node*> leavesOf(const NodeRef& root) {
    std::vector<const Node*> out;
    if (root) collectLeaves(*root, out);
    return out;
  }

  static void inspect(const Node& node, bool isRoot, int32_t depth, int32_t& leafDepth,
                      Shape& shape) {
    if (node.isLeaf()) {
      ++shape.leaves;
      if (leafDepth < 0) leafDepth = depth;
      const int32_t least = isRoot ? 1 : kMinLeaf;
      if (depth != leafDepth || node.length < least || node.length > kMaxLeaf) {
        shape.wellFormed = false;
      }
      return;
    }
    const int32_t count = static_cast<int32_t>(node.children.size());
    const int32_t least = isRoot ? 2 : kMinChildren;
    if (count < least || count > kMaxChildren) shape.wellFormed = false;
    if (Node::sumOfLengths(node.children) != node.length) shape.wellFormed = false;
    for (const NodeRef& kid : node.children) {
      if (kid->height != node.height - 1) shape.wellFormed = false;
      inspect(*kid, false, depth + 1, leafDepth, shape);
    }
  }
};

SharedText SharedText::from(TextView text) { return SharedText(Tree::root(Tree::leaves(text))); }

SharedText SharedText::derive(TextView newText) const {
  if (!root_) return from(newText);
  const std::vector<const Node*> leaves = Tree::leavesOf(root_);
  const size_t oldLength = static_cast<size_t>(root_->length);

  size_t prefix = 0;
  for (const Node* leaf : leaves) {
    const size_t common = commonPrefix(leaf->text(), newText.substr(prefix));
    prefix += common;
    if (common < static_cast<size_t>(leaf->length)) break;
  }
  // The common suffix is sought only in what the prefix left of the shorter text.
  const size_t limit = std::min(oldLength, newText.size()) - prefix;
  size_t suffix = 0;
  for (auto leaf = leaves.rbegin(); leaf != leaves.rend() && suffix < limit; ++leaf) {
    const TextView unmatched = newText.substr(0, newText.size() - suffix);
    const size_t common = std::min(commonSuffix((*leaf)->text(), unmatched), limit - suffix);
    suffix += common;
    if (common < static_cast<size_t>((*leaf)->length)) break;
  }
  if (prefix == oldLength && prefix == newText.size()) return *this;

  const TextView middle = newText.substr(prefix, newText.size() - prefix - suffix);
  return SharedText(Tree::root(Tree::replace(*root_, static_cast<int32_t>(prefix),
                                             static_cast<int32_t>(oldLength - suffix), middle)));
}

SharedText SharedText::replaced(int32_t start, int32_t end, TextView insert) const {
  if (start < 0 || start > end || end > length()) throw std::out_of_range("SharedText::replaced");
  if (!root_) return from(insert);
  if (start == end && insert.empty()) return *this;
  return SharedText(Tree::root(Tree::replace(*root_, start, end, insert)));
}

int32_t SharedText::length() const { return root_ ? root_->length : 0; }

Text SharedText::str() const {
  Text out;
  out.reserve(static_cast<size_t>(length()));
  for (const Node* leaf : Tree::leavesOf(root_)) out.append(leaf->text());
  return out;
}

char16_t SharedText::at(int32_t index) const {
  if (index < 0 || index >= length()) throw std::out_of_range("SharedText::at");
  const Node* node = root_.get();
  while (!node->isLeaf()) {
    for (const NodeRef& kid : node->children) {
      if (index < kid->length) {
        node = kid.get();
        break;
      }
      index -= kid->length;
    }
  }
  return node->chars[static_cast<size_t>(index)];
}

bool operator==(const SharedText& a, const SharedText& b) {
  if (a.length() != b.length()) return false;
  if (a.root_.get() == b.root_.get()) return true;
  // Walk both leaf sequences at once; their boundaries need not line up.
  const auto right = SharedText::Tree::leavesOf(b.root_);
  auto next = right.begin();
  TextView other;  // the unread part of the current right leaf
  for (const auto* leaf : SharedText::Tree::leavesOf(a.root_)) {
    TextView rest = leaf->text();
    while (!rest.empty()) {
      if (other.empty()) other = (*next++)->text();
      const size_t n = std::min(rest.size(), other.size());
      if (!std::equal(rest.begin(), rest.begin() + n, other.begin())) return false;
      rest.remove_prefix(n);
      other.remove_prefix(n);
    }
  }
  return true;
}

size_t SharedText::liveBytes() { return g_liveBytes.load(std::memory_order_relaxed); }

SharedText::Shape SharedText::shape() const {
  Shape shape;
  if (!root_) return shape;
  shape.height = root_->height;
  int32_t leafDepth = -1;
  Tree::inspect(*root_, true, 0, leafDepth, shape);
  return shape;
}

}  // namespace tavi
