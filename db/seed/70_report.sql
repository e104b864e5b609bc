-- Messages of the report window and its exports.

insert into msg_mst (msg_id, msg_content) values
    ('WCF011', '文件已经存在，是否覆盖？')
on conflict do nothing;
