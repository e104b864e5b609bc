-- Messages of the bibliographic look-up.
insert into msg_mst (msg_id, msg_content) values
    ('IBM001', '没有找到符合条件的书刊记录！'),
    ('EBM003', '请至少输入一个检索条件！')
on conflict do nothing;
