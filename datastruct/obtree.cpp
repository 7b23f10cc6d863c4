#include "datastruct/obtree.h"

CNode* CNode::AddChild(std::unique_ptr<CNode> child) {
  child->parent_ = this;
  children_.push_back(std::move(child));
  return children_.back().get();
}

void CNode::SerializeNode(CArchive& ar, const CRuntimeClass* data_class) {
  if (ar.IsStoring()) {
    ar.WriteObject(data_.get());
    ar.WriteU32(static_cast<uint32_t>(children_.size()));
    for (auto& child : children_) child->SerializeNode(ar, data_class);
    return;
  }

  CArchive::DepthGuard guard(ar);
  ar.CountObject();
  std::shared_ptr<CObject> data = ar.ReadObject();
  if (data && !data->IsKindOf(data_class)) {
    ar.Fail(CArchiveException::kBadClass,
            std::string("tree node holds a ") + data->GetRuntimeClass()->className);
  }
  data_ = std::move(data);
  stored_child_count_ = ar.ReadU32();
  // Each child needs at least its data tag and its own child count.
  ar.RequireAvailable(stored_child_count_, 2 + 4);
  for (uint32_t i = 0; i < stored_child_count_; ++i) {
    CNode* child = AddChild(std::make_unique<CNode>());
    child->SerializeNode(ar, data_class);
  }
}

void CObTree::Serialize(CArchive& ar) {
  if (ar.IsLoading()) Clear();
  root_.SerializeNode(ar, data_class_);
}
